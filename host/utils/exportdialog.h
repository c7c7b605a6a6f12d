#pragma once

#include "utils_global.h"

#include <QDialog>

namespace Utils {

class ValueOverTime;
class ExportDialogPrivate;

// Exports chart samples as delimited text: the user picks the delimiter(s) and the file,
// sees a preview of the first samples, and the file is written when the dialog is accepted.
// The series and names are read, not owned; they must outlive the dialog.
class UTILS_EXPORT ExportDialog : public QDialog
{
    Q_OBJECT

public:
    ExportDialog(QList<const ValueOverTime *> *series, QList<QString> *columnNames,
                 QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    ~ExportDialog() override;

    void setPrecision(int decimals);
    int precision() const;
    QString delimiter() const;
    QString fileName() const;
    void setFileName(const QString &fileName);
    QString previewText() const;

public slots:
    void vDelimiterUpdated();
    void vSelectFileDialog();
    void vFinished(int state);

protected:
    void changeEvent(QEvent *event) override;

private:
    ExportDialogPrivate *d;
};

} // namespace Utils
