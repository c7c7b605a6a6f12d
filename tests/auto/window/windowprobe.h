#pragma once

// Helpers of the window tests: a probe reaching a window through its public interfaces, sensor
// records made from a description, and small readers of widgets and request logs.

#include "../common/fakeconnection.h"
#include "model/parameterrows.h"
#include "model/sensor.h"
#include "model/sensorcatalogue.h"
#include "parameters/sensorsession.h"
#include "parameters/sessionevents.h"
#include "window/chartpresenter.h"
#include "window/connectcontroller.h"
#include "window/propertytree.h"
#include "window/sensorwindow.h"

#include <qtpropertymanager.h>
#include <qttreepropertybrowser.h>

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include <sstream>

namespace DrumoSensorPlugin {
namespace Core {

// What the window tests reach of a window: its collaborators' public interfaces, its widgets by
// object name, and its slots through the meta-object, as the host reaches them.
class WindowProbe
{
public:
    explicit WindowProbe(SensorWindow *window)
        : w(window)
    {
    }

    template<typename T> T *widget(const char *name) const
    {
        return w->findChild<T *>(QLatin1String(name));
    }
    QToolBar *toolbar(const char *name) const { return widget<QToolBar>(name); }
    QLabel *label(const char *name) const { return widget<QLabel>(name); }
    QAction *action(const char *name) const { return widget<QAction>(name); }

    QtTreePropertyBrowser *browser() const { return w->findChild<QtTreePropertyBrowser *>(); }
    QDockWidget *dock() const { return w->findChild<QDockWidget *>(); }
    QtProperty *root() const { return w->propertyTree().root(); }
    bool expertMenu() const { return w->expertRowsShown(); }
    SensorSession &session() const { return w->session(); }
    ParameterRows &rows() const { return session().rows(); }
    ChartPresenter &chart() const { return w->chartPresenter(); }
    ConnectController &connector() const { return w->connectController(); }
    ConnectView &view() const { return *w; }
    bool measuredTemp() const { return session().state().measuredTemp; }
    void setMeasuredTemp(bool on) { session().state().measuredTemp = on; }
    void setConnected(bool on) { session().state().connected = on; }
    QtProperty *lastProperty() const { return w->lastEditedRow(); }
    bool editPending() const { return w->editPending(); }
    bool typedEditPending() const { return w->typedEditPending(); }
    void sendDataFrame(ExtensionSystem::CommunicationInterface::DataFrame *frame, bool showUi)
    {
        QVERIFY(QMetaObject::invokeMethod(
            w, "sendDataFrame", Q_ARG(ExtensionSystem::CommunicationInterface::DataFrame *, frame),
            Q_ARG(bool, showUi)));
    }

    QtProperty *find(const std::string &id) const { return w->propertyTree().find(id); }

    bool rowVisible(const std::string &id) const
    {
        const QList<QtBrowserItem *> shown = browser()->items(find(id));
        return !shown.isEmpty() && browser()->isItemVisible(shown.first());
    }

    int enumIndex(const std::string &id) const
    {
        return qobject_cast<QtEnumPropertyManager *>(find(id)->propertyManager())->value(find(id));
    }

    // An edit of an enumerator or number row as its editor makes it.
    void edit(const std::string &id, const QVariant &value) const
    {
        QtProperty *row = find(id);
        QVERIFY2(row, id.c_str());
        if (auto *enums = qobject_cast<QtEnumPropertyManager *>(row->propertyManager()))
            enums->setValue(row, value.toInt());
        else
            qobject_cast<QtDoublePropertyManager *>(row->propertyManager())
                ->setValue(row, value.toDouble());
    }

private:
    SensorWindow *w;
};

// A sensor record whose description is `description` (the inner XML of "propertytreegui").
inline Sensor sensorWithDescription(const std::string &description,
                                    const std::string &name = "Test sensor",
                                    const std::string &extra = std::string())
{
    std::stringstream text;
    text << "<name>" << name << "</name><group>18</group><types>1</types>" << extra
         << "<propertytreegui>" << description << "</propertytreegui>";
    Sensor record;
    record.fromXMLStream(text);
    return record;
}

inline QStringList boxTexts(QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// The requests other than the live data's polls.
inline QList<QByteArray> withoutPolls(QList<QByteArray> requests)
{
    requests.removeAll("0D0e");
    requests.removeAll("0WD");
    return requests;
}

// The method signatures a class declares itself, in declaration order.
inline QStringList ownSignatures(const QMetaObject &meta)
{
    QStringList signatures;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        signatures << QString::fromLatin1(meta.method(i).methodSignature());
    return signatures;
}

} // namespace Core
} // namespace DrumoSensorPlugin
