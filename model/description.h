#pragma once

#include <QString>
#include <QStringList>

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

} // namespace Description
} // namespace Core
} // namespace DrumoSensorPlugin
