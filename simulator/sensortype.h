#pragma once

#include "quxsim_global.h"

#include <QList>
#include <QString>

QT_BEGIN_NAMESPACE
class QIODevice;
QT_END_NAMESPACE

namespace QuxSim {

// One sensor type of the catalogue, as far as the simulated sensor needs it: what it reports
// in its identification and which rates its port offers.
struct QUXSIM_EXPORT SensorType
{
    QString name;
    int group = 0;
    QList<int> types;
    bool isDigital = false;
    QList<int> baudrates;

    // A sensor type that is always available, for a missing or empty catalogue.
    static SensorType fallback();
};

// Reads the entries under document/sensorList of the catalogue file. Entries without a name,
// a readable group (0-255) or at least one type number are skipped, like the host does.
// Returns an empty list and fills *errorMessage when the file cannot be read.
QUXSIM_EXPORT QList<SensorType> readCatalogue(const QString &path, QString *errorMessage = nullptr);
// The same from an open device.
QUXSIM_EXPORT QList<SensorType> readCatalogue(QIODevice *device, QString *errorMessage = nullptr);

// The catalogue next to the running program.
QUXSIM_EXPORT QString defaultCataloguePath();

// The type called `name`; with an empty name the first digital type, else the first type.
// Returns false when there is no such type.
QUXSIM_EXPORT bool findSensorType(const QList<SensorType> &catalogue, const QString &name,
                                  SensorType *result);

} // namespace QuxSim
