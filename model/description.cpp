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

} // namespace Description
} // namespace Core
} // namespace DrumoSensorPlugin
