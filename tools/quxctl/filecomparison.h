#pragma once

#include <QList>
#include <QString>

#include <string>

namespace DrumoSensorPlugin {
namespace Core {
class MemoryRows;
}
} // namespace DrumoSensorPlugin

namespace QuxCtl {

struct RowDifference
{
    QString id;
    QString caption;
    QString sensorText; // the value as the sensor holds it, display unit
    QString fileText; // the file's value, in the same unit
};

// The rows whose values, as read from the sensor, differ from a settings file's property text.
// Only what the sensor itself holds is compared: the window's own rows ("ExpertMenu",
// "readTemp") and the row shown only ("1A") are not. A file saved in the other temperature
// unit has its temperatures converted first, so only a real difference counts. Numbers are
// compared as the tree shows them (the row's decimals). With `afterApply`, the rows of
// switching output 2 are left out when the file makes pin 2 an analog output: writing the file
// does not send them then.
QList<RowDifference> compareWithPropertyText(const DrumoSensorPlugin::Core::MemoryRows &rows,
                                             const std::string &propertyText, bool afterApply);

} // namespace QuxCtl
