#pragma once

#include "window/painthold.h"

#include <QDialog>
#include <QPointer>

namespace DrumoSensorPlugin {
namespace Core {

// A modal dialog or message box of a sensor window that survives the window going while it is
// open.
//
// QMessageBox's static functions, and dialogs on the stack, parented to the window are freed
// twice when the host destroys the window meanwhile: once among the window's children, once
// when the stack unwinds. Here the dialog lives on the heap as the window's child: should the
// window go, the dialog goes with it and exec() returns. While it is open the window counts a
// nested wait (SensorWindow::isWaiting), so its owner abandons the window and deletes it later
// instead of under the waiting code; abandoning closes the dialog (closeModalDialogs).
//
//     ModalDialog<QFileDialog> dialog(&waits, this, new QFileDialog(this, title));
//     if (dialog.exec() != QDialog::Accepted)
//         return; // also when the window was abandoned or went
//     const QStringList files = dialog->selectedFiles();
template<class Dialog> class ModalDialog
{
public:
    ModalDialog(WindowWaits *waits, QWidget *window, Dialog *dialog)
        : m_window(window)
        , m_waits(waits)
        , m_dialog(dialog)
    {
        if (dialog->parentWidget() != window)
            dialog->setParent(window, dialog->windowFlags());
        dialog->setProperty(modalProperty, true);
    }
    ~ModalDialog() { delete m_dialog.data(); }
    ModalDialog(const ModalDialog &) = delete;
    ModalDialog &operator=(const ModalDialog &) = delete;

    // The dialog's result; QDialog::Rejected when the window was abandoned (nothing is shown
    // then) or when the dialog went meanwhile.
    int exec()
    {
        if (!m_window || m_waits->abandoned)
            return QDialog::Rejected;
        int result = QDialog::Rejected;
        {
            NestedWait wait(m_window, m_waits);
            // Whatever stands behind the dialog is shown as it is now.
            PaintHold::setHeldViewsPainting(m_waits, true);
            result = m_dialog->exec();
        }
        if (m_window)
            PaintHold::setHeldViewsPainting(m_waits, false);
        return gone() ? int(QDialog::Rejected) : result;
    }

    // True when the window was abandoned or destroyed, or the dialog with it: the caller must
    // not go on with the window's work.
    bool gone() const { return !m_window || !m_dialog || m_waits->abandoned; }

    Dialog *operator->() const { return m_dialog.data(); }
    Dialog *get() const { return m_dialog.data(); }

    // Marks the dialogs closeModalDialogs() closes.
    static constexpr const char *modalProperty = "quxWindowModal";

private:
    QPointer<QWidget> m_window;
    WindowWaits *m_waits; // only read while m_window lives
    QPointer<Dialog> m_dialog;
};

// Rejects every open ModalDialog of `window` (its owner let go of it).
void closeModalDialogs(QWidget *window);

} // namespace Core
} // namespace DrumoSensorPlugin
