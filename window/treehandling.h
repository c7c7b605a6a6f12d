#pragma once

#include <QMetaObject>
#include <QObject>
#include <QVariant>

#include <array>

class QtBoolPropertyManager;
class QtDoublePropertyManager;
class QtEnumPropertyManager;
class QtIntPropertyManager;
class QtProperty;

namespace DrumoSensorPlugin {
namespace Core {

// The bool, int, double and enum managers' value signals, switchable as one: while on, every
// change of such a row is reported as edited(). The plug-in's own changes to rows happen with it
// off (see TreeHandlingGuard), so values read from the sensor are never sent back to it.
class TreeHandling : public QObject
{
    Q_OBJECT

public:
    TreeHandling(QtBoolPropertyManager *boolManager, QtIntPropertyManager *intManager,
                 QtDoublePropertyManager *doubleManager, QtEnumPropertyManager *enumManager,
                 QObject *parent = nullptr);

    // Switching on twice keeps one connection per manager: each edit is reported once.
    void setOn(bool on);
    bool isOn() const { return m_on; }

signals:
    void edited(QtProperty *property, const QVariant &value);

private:
    QtBoolPropertyManager *m_boolManager;
    QtIntPropertyManager *m_intManager;
    QtDoublePropertyManager *m_doubleManager;
    QtEnumPropertyManager *m_enumManager;
    std::array<QMetaObject::Connection, 4> m_connections;
    bool m_on = false;
};

// Tree handling off for the guard's lifetime, then back as it was before: the plug-in changes
// rows itself in between.
class TreeHandlingGuard
{
public:
    explicit TreeHandlingGuard(TreeHandling &handling)
        : m_handling(handling)
        , m_wasOn(handling.isOn())
    {
        m_handling.setOn(false);
    }
    ~TreeHandlingGuard() { m_handling.setOn(m_wasOn); }
    TreeHandlingGuard(const TreeHandlingGuard &) = delete;
    TreeHandlingGuard &operator=(const TreeHandlingGuard &) = delete;

private:
    TreeHandling &m_handling;
    bool m_wasOn;
};

} // namespace Core
} // namespace DrumoSensorPlugin
