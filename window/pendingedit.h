#pragma once

#include <QObject>
#include <QTimer>
#include <QVariant>

class QtProperty;

namespace DrumoSensorPlugin {
namespace Core {

class SensorSession;
class TreeHandling;

// An edit of the tree on its way to the sensor, in time. The edit is handed to the dispatch
// once the edits around it have settled (10 ms), so quick successive edits send only the last
// one; a row typed digit by digit is written once the typing pauses (600 ms). Only while
// edits reach the sensor (a sensor is connected) does a settled edit go anywhere.
class PendingEdit : public QObject
{
    Q_OBJECT

public:
    PendingEdit(SensorSession &session, TreeHandling &treeHandling, QObject *parent = nullptr);

    // The row edited and its value; the settling starts again.
    void take(QtProperty *row, const QVariant &value);
    void setReachesSensor(bool on);
    // The dispatch asks for the typed row to wait for the typing to pause.
    void deferWrite();

    // The settled edit to the dispatch.
    void applySettled();
    // The typed row, written now (unless a unit change converted the rows meanwhile).
    void writeTyped();

    bool settling() const { return m_settle.isActive(); }
    bool typing() const { return m_typing.isActive(); }
    QtProperty *lastRow() const { return m_row; }

private:
    SensorSession &m_session;
    TreeHandling &m_treeHandling;
    QTimer m_settle;
    QTimer m_typing;
    bool m_reachesSensor = false;
    QtProperty *m_row = nullptr;
    QVariant m_value;
};

} // namespace Core
} // namespace DrumoSensorPlugin
