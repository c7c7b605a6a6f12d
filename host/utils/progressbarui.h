#pragma once

#include "utils_global.h"

#include <QDialog>

namespace Utils {

class ProgressBarUiPrivate;

// A busy dialog for a synchronous transaction: exec(id) spins a nested event loop until
// exit(id) arrives with the same id; other ids are ignored. When shown, the dialog appears
// only after a short delay, so fast transactions do not flicker. A modal dialog (setModal)
// keeps the user's mouse, keyboard and shortcut input away from the other windows from the
// first moment of the wait, not only once it appears. Destroying the dialog (for instance with
// its parent) ends the wait too.
class UTILS_EXPORT ProgressBarUi : public QDialog
{
    Q_OBJECT

public:
    explicit ProgressBarUi(QWidget *parent = nullptr);
    ~ProgressBarUi() override;

    void setShowUi(bool show);
    bool showUi() const;
    void setShowDelay(int ms);

    using QDialog::exec;
    // Returns QDialog::Accepted when the transaction finished, Rejected when the wait ended
    // because the dialog was destroyed or exec was re-entered for another id.
    int exec(int id);

public slots:
    void exit(unsigned int id);
    // While waiting, Escape does not hide the dialog: the transaction goes on regardless.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    ProgressBarUiPrivate *d;
};

} // namespace Utils
