#include "model/description.h"

namespace DrumoSensorPlugin {
namespace Core {
namespace Description {

bool isElement(const Element::value_type &node)
{
    return node.first != "<xmlcomment>" && node.first != "<xmlattr>";
}

std::string id(const Element &element)
{
    return element.get<std::string>("id", std::string());
}

std::string type(const Element &element)
{
    return element.get<std::string>("type", std::string());
}

QString localizedText(const Element &element, const std::string &path, const std::string &language)
{
    const std::string prefix = path.empty() ? std::string() : path + '.';
    std::string text = element.get<std::string>(prefix + language, std::string());
    if (text.empty())
        text = element.get<std::string>(prefix + "en", std::string());
    return QString::fromStdString(text);
}

QString name(const Element &element, const std::string &language)
{
    return localizedText(element, "text", language);
}

QStringList enumEntries(const Element &element, const std::string &language)
{
    QStringList entries;
    const auto items = element.get_child_optional("items");
    if (!items)
        return entries;
    for (const auto &item : *items) {
        if (isElement(item))
            entries.append(localizedText(item.second, std::string(), language));
    }
    return entries;
}

QString actionCaption(const Element &element, const std::string &language)
{
    const std::string fallback = "action";
    std::string caption = element.get<std::string>("caption.text." + language, fallback);
    if (caption.empty())
        caption = element.get<std::string>("caption.text.en", fallback);
    return QString::fromStdString(caption);
}

bool isReadOnly(const Element &element)
{
    return element.get<std::string>("readonly", std::string("false")) != "false";
}

namespace {

using Kind = ParameterRows::Kind;

Kind kindOf(const std::string &type)
{
    if (type == "category")
        return Kind::Group;
    if (type == "enumerator")
        return Kind::Enumerator;
    if (type == "int")
        return Kind::Integer;
    if (type == "double")
        return Kind::Double;
    if (type == "bool")
        return Kind::Bool;
    if (type == "action")
        return Kind::Action;
    return Kind::Missing;
}

void appendRows(QVector<Row> &result, const Element &element, int parent,
                const std::string &language, const char *initial)
{
    if (element.empty())
        return;
    Row row;
    row.kind = kindOf(type(element));
    switch (row.kind) {
    case Kind::Missing:
        return;
    case Kind::Enumerator:
        row.enumItems = enumEntries(element, language);
        row.value = number<int>(element, initial);
        break;
    case Kind::Integer:
        // Integer limits are read as integers: "1.5" counts as missing, as for the value.
        row.minimum = number<int>(element, "min");
        row.maximum = number<int>(element, "max");
        row.value = number<int>(element, initial);
        break;
    case Kind::Double:
        row.minimum = number<double>(element, "min");
        row.maximum = number<double>(element, "max");
        row.value = number<double>(element, initial);
        break;
    case Kind::Bool:
        row.value = number<int>(element, initial) != 0;
        break;
    case Kind::Action:
        row.actionCaption = actionCaption(element, language);
        break;
    case Kind::Group:
        break;
    }
    row.id = QString::fromLatin1(id(element).c_str());
    row.name = name(element, language);
    row.readOnly = isReadOnly(element);
    row.parent = parent;

    const int index = result.size();
    result.append(row);
    for (const auto &child : element) {
        if (child.first == "property")
            appendRows(result, child.second, index, language, initial);
    }
}

} // namespace

QVector<Row> rows(const Element &element, const std::string &language, bool useDefaults)
{
    QVector<Row> result;
    appendRows(result, element, -1, language, initialValuePath(useDefaults));
    return result;
}

QVector<Row> treeRows(const Element &tree, const std::string &language, bool useDefaults)
{
    QVector<Row> result;
    for (const auto &child : tree) {
        if (isElement(child))
            appendRows(result, child.second, -1, language, initialValuePath(useDefaults));
    }
    return result;
}

} // namespace Description
} // namespace Core
} // namespace DrumoSensorPlugin
