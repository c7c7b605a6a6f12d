#pragma once

#include <QCoreApplication>

namespace DrumoSensorPlugin {
namespace Core {

// The window's texts are translated in the context "SensorWindow", the class name without its
// namespaces: the translation file and the host's language switch know them there, while the
// class's own tr() would look them up under its full name. Being a declared context, it is also
// where lupdate files every WindowTexts::tr("...") it finds.
class WindowTexts
{
    Q_DECLARE_TR_FUNCTIONS(SensorWindow)
};

} // namespace Core
} // namespace DrumoSensorPlugin
