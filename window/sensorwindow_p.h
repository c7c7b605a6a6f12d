#pragma once

#include <communicationinterface.h>

#include <QMap>
#include <QString>
#include <QTimer>

#include <string>

class QComboBox;
class QDockWidget;
class QtBoolPropertyManager;
class QtCheckBoxFactory;
class QtDoublePropertyManager;
class QtDoubleSpinBoxFactory;
class QtEnumEditorFactory;
class QtEnumPropertyManager;
class QtGroupPropertyManager;
class QtIntPropertyManager;
class QtLineEditFactory;
class QtProperty;
class QtSpinBoxFactory;
class QtStringPropertyManager;

namespace Utils {
class ButtonFactory;
class ButtonManager;
class ConnectionStatus;
class SimpleTimeChart;
class ThresholdDataManager;
class ThresholdWindowWidget;
} // namespace Utils

namespace DrumoSensorPlugin {
namespace Core {

// The widgets and state a SensorWindow shares between its files. A plain structure: the window
// creates and releases what it points to (see the window's constructor and destructor).
class SensorWindowPrivate
{
public:
    bool statusChecking = false;
    // Not owned: the host's connection, set by the interface object while a port is open.
    ExtensionSystem::CommunicationInterface *connection = nullptr;

    // Managers and factories are children of propertyDock.
    QtBoolPropertyManager *boolManager = nullptr;
    QtIntPropertyManager *intManager = nullptr;
    QtDoublePropertyManager *doubleManager = nullptr;
    QtStringPropertyManager *stringManager = nullptr;
    QtEnumPropertyManager *enumManager = nullptr;
    QtGroupPropertyManager *groupManager = nullptr;
    QtCheckBoxFactory *checkBoxFactory = nullptr;
    QtSpinBoxFactory *spinBoxFactory = nullptr;
    QtDoubleSpinBoxFactory *doubleSpinBoxFactory = nullptr;
    QtLineEditFactory *lineEditFactory = nullptr;
    QtEnumEditorFactory *enumEditorFactory = nullptr;
    Utils::ButtonManager *buttonManager = nullptr;
    Utils::ButtonFactory *buttonFactory = nullptr;

    QDockWidget *propertyDock = nullptr;
    QComboBox *portBox = nullptr;
    // 65 ms single-shot: the pause between two live polls.
    QTimer statusTimer;
    Utils::ThresholdDataManager *thresholdData = nullptr;
    Utils::ThresholdWindowWidget *thresholdWidget = nullptr; // digital sensors only
    Utils::SimpleTimeChart *chart = nullptr;
    Utils::ConnectionStatus *connectionStatus = nullptr;
    // Language of the texts read from the sensor description.
    std::string language = "en";
    QtProperty *rootProperty = nullptr;
    // Temperatures at the 0 V and 10 V ends of the analog output.
    double analogLow = 0.0;
    double analogHigh = 0.0;

    // Live polling: every fifth poll asks for the output states; the one asynchronous poll in
    // flight and the frames it owns.
    int pollCounter = 0;
    unsigned int pendingTransactionId = 0;
    QMap<unsigned int, ExtensionSystem::CommunicationInterface::DataFrame *> transactions;

    // One character from the identification answer; empty while no sensor is connected.
    QString firmware;
};

} // namespace Core
} // namespace DrumoSensorPlugin
