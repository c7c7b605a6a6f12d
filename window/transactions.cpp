// Synchronous transactions of the window: run behind the progress dialog.

#include "window/sensorwindow.h"

#include "window/modaldialog.h"
#include "window/sensorwindow_p.h"
#include "window/transactions.h"

#include <progressbarui.h>

#include <QApplication>
#include <QPointer>

namespace DrumoSensorPlugin {
namespace Core {

// The dialog's nested event loop keeps the window's timers and queued signals running while
// the transaction is on the line; only the completion of this transaction's id ends the wait.
void SensorWindow::sendDataFrame(ExtensionSystem::CommunicationInterface::DataFrame *frame,
                                 bool showUi)
{
    // The connection may go away inside the wait (an unplugged adapter); the window too, when
    // the host closes it meanwhile. Neither may be touched afterwards then.
    QPointer<ExtensionSystem::CommunicationInterface> line = connection();
    if (!line || !frame)
        return;

    QPointer<Utils::ProgressBarUi> progress = new Utils::ProgressBarUi(this);
    progress->setModal(showUi);
    progress->setShowUi(showUi);
    const unsigned int id = line->uiSendDataFrame(frame);
    const QMetaObject::Connection finished
        = connect(line, &ExtensionSystem::CommunicationInterface::emitFinished, progress.data(),
                  &Utils::ProgressBarUi::exit);
    if (showUi)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        NestedWait wait(this, d);
        progress->exec(int(id));
    }
    if (showUi)
        QApplication::restoreOverrideCursor();
    if (!progress)
        return;
    disconnect(finished);
    progress->deleteLater();
}

bool SensorWindow::isWaiting() const
{
    return d->nestedWaits > 0;
}

void SensorWindow::abandon()
{
    if (!d->abandoned && !isWaiting())
        deleteLater();
    d->abandoned = true;
    setConnection(nullptr);
    // Nobody is left to answer them; each returns to its waiting code, which finishes quietly.
    closeModalDialogs(this);
}

} // namespace Core
} // namespace DrumoSensorPlugin
