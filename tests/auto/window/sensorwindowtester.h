#pragma once

// Access to the sensor window's private parts for its tests (the window declares this class
// its friend).

#include "../common/fakeconnection.h"
#include "model/parameterrows.h"
#include "model/sensor.h"
#include "model/sensorcatalogue.h"
#include "parameters/sensorsession.h"
#include "ui_sensorwindow.h"
#include "window/chartpresenter.h"
#include "window/connectcontroller.h"
#include "window/propertytree.h"
#include "window/sensorwindow.h"
#include "window/sensorwindow_p.h"

#include <qtpropertymanager.h>
#include <qttreepropertybrowser.h>

#include <QComboBox>
#include <QDockWidget>
#include <QtTest>

#include <sstream>
#include <vector>

namespace DrumoSensorPlugin {
namespace Core {

class SensorWindowTester
{
public:
    explicit SensorWindowTester(SensorWindow *window)
        : w(window)
    {
    }

    SensorWindowPrivate *d() const { return w->d; }
    Ui::SensorWindow *ui() const { return w->ui; }
    QtTreePropertyBrowser *browser() const { return w->propertyBrowser; }
    QtProperty *root() const { return w->d->rootProperty; }
    bool expertMenu() const { return w->expertMenu; }
    SensorSession &session() const { return w->session(); }
    ParameterRows &rows() const { return session().rows(); }
    bool measuredTemp() const { return session().state().measuredTemp; }
    void setMeasuredTemp(bool on) { session().state().measuredTemp = on; }
    void setConnected(bool on) { session().state().connected = on; }
    QtProperty *lastProperty() const { return w->lastProperty; }
    QTimer *settingsTimer() const { return w->settingsTimer; }
    void setEditsReachSensor(bool on) { w->setEditsReachSensor(on); }
    void sendDataFrame(ExtensionSystem::CommunicationInterface::DataFrame *frame, bool showUi)
    {
        w->sendDataFrame(frame, showUi);
    }
    QTimer *delayTimer() const { return &w->delayTimer; }
    void setLastProperty(QtProperty *property) { w->lastProperty = property; }

    QtProperty *find(const std::string &id) const { return w->d->tree->find(id); }
    QList<QtProperty *> all() const { return w->d->tree->allRows(); }
    void setExpertMenu(bool on) { w->setExpertMenu(on); }
    void setPropertyVisible(const QString &id, bool on) { w->d->tree->setRowVisible(id, on); }
    void removeSubProperties(QtProperty *p) { PropertyTree::removeSubProperties(p); }
    void updateWindowTitle(bool showBaud) { w->updateWindowTitle(showBaud); }
    void loadExpertMenuSetting() { w->loadExpertMenuSetting(); }
    void loadMeasuredTempSetting() { w->loadMeasuredTempSetting(); }

    // Adds the description of `record` below the root row, the way the constructor builds the
    // tree.
    void populate(const Sensor &record, bool useDefaults = true)
    {
        for (const auto &child : record.getPropertyTreeGui())
            w->d->tree->addDescriptionNode(child.second, root(), useDefaults);
    }

    // Every browser item showing `property`.
    QList<QtBrowserItem *> items(QtProperty *property) const
    {
        return w->propertyBrowser->items(property);
    }

    bool rowVisible(const std::string &id) const
    {
        const QList<QtBrowserItem *> shown = items(find(id));
        return !shown.isEmpty() && browser()->isItemVisible(shown.first());
    }

    int enumIndex(const std::string &id) const { return d()->enumManager->value(find(id)); }

    // An edit of an enumerator or number row as its editor makes it.
    void edit(const std::string &id, const QVariant &value) const
    {
        QtProperty *row = find(id);
        QVERIFY2(row, id.c_str());
        if (row->propertyManager() == d()->enumManager)
            d()->enumManager->setValue(row, value.toInt());
        else
            d()->doubleManager->setValue(row, value.toDouble());
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

// The catalogue's record of the sensor type `name` (a default record for an unknown name).
inline Sensor catalogueRecord(const char *name)
{
    return findSensorInCatalogue(name);
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
