#pragma once

#include <string>
#include <vector>

namespace DrumoSensorPlugin {
namespace Core {

class ParameterRows;

// The property text of a settings file: one item per row that holds a value, in the order of
// the rows (pre-order), each item "id=value;". Enumerators give their item index, bools 0 or
// 1, ints their decimal value, doubles six decimals with a point ("%f" in the C locale);
// groups and buttons are not written. Ids are Latin-1 text, one byte per character.
std::string propertyText(const ParameterRows &rows);

struct PropertyItem
{
    std::string id;
    std::string value;
};

// The items of a property text: the text is split at every ";"; an item's id is the text
// before its first "=", its value the text after it up to a second "=" if there is one. An
// item without "=" (the empty item after the final ";" among them) names no row and is left
// out.
std::vector<PropertyItem> propertyItems(const std::string &text);

// How many items a property text has (";" count + 1), without splitting it.
long long propertyItemCount(const std::string &text);

// Values read the way the C library's atoi and atof read them, but in the C locale whatever
// the process's locale: leading white space and a sign, then the longest number that follows;
// 0 when there is none. Ints beyond the int range are held at its ends; doubles are decimal
// (no hexadecimal form), "inf" and "nan" included.
int propertyInt(const std::string &value);
double propertyDouble(const std::string &value);

struct PropertyTextResult
{
    int applied = 0; // items set on a row
    int skipped = 0; // items whose id no row has, or whose row holds no value
};

// Sets the rows named in a property text, in the order of its items: enumerators and ints from
// propertyInt, bools from propertyInt not 0, doubles from propertyDouble. Rows keep their
// values within their limits, and an enumerator keeps its index when the value names no item.
PropertyTextResult applyPropertyText(ParameterRows &rows, const std::string &text);

} // namespace Core
} // namespace DrumoSensorPlugin
