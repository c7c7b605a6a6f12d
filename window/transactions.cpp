#include "window/transactions.h"

#include <QApplication>
#include <QPointer>

namespace DrumoSensorPlugin {
namespace Core {

void runBehindProgress(QWidget *window, WindowWaits *waits,
                       ExtensionSystem::CommunicationInterface *connection, DataFrame *frame,
                       bool showUi)
{
    // The connection may go away inside the wait (an unplugged adapter); the window too, when
    // the host closes it meanwhile. Neither may be touched afterwards then.
    QPointer<ExtensionSystem::CommunicationInterface> line = connection;
    if (!line || !frame)
        return;

    const bool shared = !waits->progressWaiting;
    if (shared && !waits->progress)
        waits->progress = new Utils::ProgressBarUi(window);
    QPointer<Utils::ProgressBarUi> progress = shared
        ? waits->progress
        : QPointer<Utils::ProgressBarUi>(new Utils::ProgressBarUi(window));
    progress->setModal(showUi);
    progress->setShowUi(showUi);
    const unsigned int id = line->uiSendDataFrame(frame);
    // By signature, as the host's interface pairs them: the communication object of any host
    // library that declares emitFinished(unsigned int) ends the wait.
    const QMetaObject::Connection finished = QObject::connect(
        line, SIGNAL(emitFinished(unsigned int)), progress.data(), SLOT(exit(unsigned int)));
    if (showUi)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    if (shared)
        waits->progressWaiting = true;
    {
        NestedWait wait(window, waits);
        progress->exec(int(id));
    }
    if (showUi)
        QApplication::restoreOverrideCursor();
    // The dialog is the window's child: gone, it took the window and its waits with it.
    if (!progress)
        return;
    QObject::disconnect(finished);
    if (shared)
        waits->progressWaiting = false;
    else
        progress->deleteLater();
}

} // namespace Core
} // namespace DrumoSensorPlugin
