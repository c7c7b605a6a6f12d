#include "files/propertytext.h"

#include "model/parameterrows.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

// White space as the C locale's isspace() sees it.
bool isCSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Past the leading white space of `value`; `negative` tells whether a "-" followed.
const char *skipToNumber(const std::string &value, bool *negative)
{
    const char *p = value.c_str();
    while (isCSpace(*p))
        ++p;
    *negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    return p;
}

void appendInt(std::string &text, int value)
{
    char digits[16];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

} // namespace

std::string propertyText(const ParameterRows &rows)
{
    std::string text;
    for (const QString &id : rows.ids()) {
        const QVariant value = rows.value(id);
        char number[400];
        switch (rows.kind(id)) {
        case ParameterRows::Kind::Enumerator:
        case ParameterRows::Kind::Integer:
            text += id.toLatin1().toStdString() + '=';
            appendInt(text, value.toInt());
            break;
        case ParameterRows::Kind::Bool:
            text += id.toLatin1().toStdString() + '=';
            appendInt(text, value.toBool() ? 1 : 0);
            break;
        case ParameterRows::Kind::Double:
            // "%f" of the C locale; printf would write "0,950000" under a German LC_NUMERIC.
            text += id.toLatin1().toStdString() + '=';
            text.append(number,
                        std::to_chars(number, number + sizeof number, value.toDouble(),
                                      std::chars_format::fixed, 6)
                            .ptr);
            break;
        default:
            continue; // groups and buttons hold no value
        }
        text += ';';
    }
    return text;
}

std::vector<PropertyItem> propertyItems(const std::string &text)
{
    std::vector<PropertyItem> items;
    size_t begin = 0;
    for (;;) {
        const size_t end = std::min(text.find(';', begin), text.size());
        const size_t equals = text.find('=', begin);
        if (equals < end) {
            const size_t valueEnd = std::min(text.find('=', equals + 1), end);
            items.push_back({ text.substr(begin, equals - begin),
                              text.substr(equals + 1, valueEnd - equals - 1) });
        }
        if (end == text.size())
            break;
        begin = end + 1;
    }
    return items;
}

long long propertyItemCount(const std::string &text)
{
    return 1 + std::count(text.begin(), text.end(), ';');
}

int propertyInt(const std::string &value)
{
    bool negative = false;
    const char *p = skipToNumber(value, &negative);
    const char *end = value.c_str() + value.size();
    unsigned long long magnitude = 0; // unsigned: a second sign is no number
    const auto result = std::from_chars(p, end, magnitude);
    if (result.ptr == p)
        return 0;
    const unsigned long long limit
        = negative ? 1ull + std::numeric_limits<int>::max() : std::numeric_limits<int>::max();
    if (result.ec == std::errc::result_out_of_range || magnitude > limit)
        magnitude = limit;
    return negative ? int(-(long long)magnitude) : int(magnitude);
}

double propertyDouble(const std::string &value)
{
    bool negative = false;
    const char *p = skipToNumber(value, &negative);
    const char *end = value.c_str() + value.size();
    double magnitude = 0.0;
    if (*p == '-' || *p == '+')
        return 0.0; // a second sign
    const auto result = std::from_chars(p, end, magnitude);
    if (result.ptr == p)
        return 0.0;
    if (result.ec == std::errc::result_out_of_range) {
        // Too large is infinite, too small is zero: strtod's answers.
        const auto exponent
            = std::find_if(p, result.ptr, [](char c) { return c == 'e' || c == 'E'; });
        magnitude = exponent != result.ptr && exponent[1] == '-'
            ? 0.0
            : std::numeric_limits<double>::infinity();
    }
    return negative ? -magnitude : magnitude;
}

PropertyTextResult applyPropertyText(ParameterRows &rows, const std::string &text)
{
    PropertyTextResult result;
    for (const PropertyItem &item : propertyItems(text)) {
        const QString id = QString::fromLatin1(item.id.data(), int(item.id.size()));
        switch (rows.kind(id)) {
        case ParameterRows::Kind::Enumerator:
        case ParameterRows::Kind::Integer:
            rows.setValue(id, propertyInt(item.value));
            break;
        case ParameterRows::Kind::Bool:
            rows.setValue(id, propertyInt(item.value) != 0);
            break;
        case ParameterRows::Kind::Double:
            rows.setValue(id, propertyDouble(item.value));
            break;
        default:
            ++result.skipped;
            continue;
        }
        ++result.applied;
    }
    return result;
}

} // namespace Core
} // namespace DrumoSensorPlugin
