#pragma once

#include "model/parameterrows.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <boost/property_tree/ptree.hpp>

#include <string>

namespace DrumoSensorPlugin {
namespace Core {

// Readers of one property element of a sensor description, the "propertytreegui" part of a
// catalogue entry. A property element holds its values in child elements ("id", "type",
// "text.<language>", "readonly", "defaultvalue", "value", "min", "max", "items",
// "caption.text.<language>") and its child rows as elements named "property". Values are read
// leniently: a missing element, or a text that is not one number, gives the default.
namespace Description {

using Element = boost::property_tree::ptree;

// Nodes that the XML reader adds for comments and attributes are not elements.
bool isElement(const Element::value_type &node);

std::string id(const Element &element);
std::string type(const Element &element);

// The text of `path` + "." + language, or of `path` + ".en" when that is empty. An empty path
// reads the children named after the languages directly (enumerator items).
QString localizedText(const Element &element, const std::string &path, const std::string &language);

// The row's name in `language`.
QString name(const Element &element, const std::string &language);

// One entry per child of "items", whatever its tag, in document order.
QStringList enumEntries(const Element &element, const std::string &language);

// The button caption of an "action" row; "action" when the description has none.
QString actionCaption(const Element &element, const std::string &language);

// Only the exact text "false" leaves a row editable.
bool isReadOnly(const Element &element);

// The initial value's element: "defaultvalue", or "value" when built without defaults.
inline const char *initialValuePath(bool useDefaults)
{
    return useDefaults ? "defaultvalue" : "value";
}

template<typename T> T number(const Element &element, const char *path)
{
    return element.get<T>(path, T(0));
}

// One row of the description as read from its element, before anything shows it.
struct Row
{
    ParameterRows::Kind kind = ParameterRows::Kind::Missing;
    QString id;
    QString name;
    // The initial value as the row's kind holds it; invalid for groups and actions.
    QVariant value;
    double minimum = 0.0;
    double maximum = 0.0;
    QStringList enumItems;
    QString actionCaption;
    bool readOnly = false;
    // Index of the parent row in the same list; -1 for a row at the walk's top.
    int parent = -1;
};

// `element` and the "property" elements below it, in depth-first order. An empty element, or one
// of an unknown kind, is left out with everything below it.
QVector<Row> rows(const Element &element, const std::string &language, bool useDefaults);
// The rows of every element directly below `tree` (a description's top level).
QVector<Row> treeRows(const Element &tree, const std::string &language, bool useDefaults);

} // namespace Description
} // namespace Core
} // namespace DrumoSensorPlugin
