#pragma once

#include "model/description.h"

#include <QList>
#include <QString>

#include <string>

class QtProperty;
class QtTreePropertyBrowser;

namespace DrumoSensorPlugin {
namespace Core {

class Sensor;
class PropertyEditors;

// The property tree of a sensor window, built from the sensor's description in the catalogue
// (see model/description.h for the format) into the window's managers, and the rows it shows
// or hides.
class PropertyTree
{
public:
    PropertyTree(PropertyEditors &editors, QtTreePropertyBrowser *browser);

    // The root row named `title` and the description's rows below it, shown in the browser.
    void build(const Sensor &record, const QString &title);
    // Adds `element` and its rows below `parent`; an unknown kind of row is left out with
    // everything below it.
    void addDescriptionNode(const boost::property_tree::ptree &element, QtProperty *parent,
                            bool useDefaults);
    // Row names and enumerator items in the host's current language.
    void retranslate(const Sensor &record);

    QtProperty *root() const;
    QtProperty *find(const std::string &id) const;
    QList<QtProperty *> allRows() const;
    // Rows below the top-level items only; the top-level items stay as they are.
    void setRowVisible(const QString &id, bool visible);
    void showExpertRows(bool on);
    // Pin 2 is either output 2 (its contact rows) or the analog output (its signal rows).
    void showPin2Rows(bool analog);
    static void removeSubProperties(QtProperty *property);

private:
    // Makes the managers' rows for `rows`, a walk's top-level ones below `parent`.
    void addRows(const QVector<Description::Row> &rows, QtProperty *parent);

    PropertyEditors &m_editors;
    // Language of the texts read from the sensor description.
    std::string m_language;
    QtTreePropertyBrowser *m_browser;
};

} // namespace Core
} // namespace DrumoSensorPlugin
