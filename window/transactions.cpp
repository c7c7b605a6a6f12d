// Synchronous transactions of the window: run behind the progress dialog.

#include "window/sensorwindow.h"

#include "window/sensorwindow_p.h"

namespace DrumoSensorPlugin {
namespace Core {

// Not built yet: nothing is sent, the entries keep status 0.
void SensorWindow::sendDataFrame(ExtensionSystem::CommunicationInterface::DataFrame *frame,
                                 bool showUi)
{
    Q_UNUSED(frame)
    Q_UNUSED(showUi)
}

} // namespace Core
} // namespace DrumoSensorPlugin
