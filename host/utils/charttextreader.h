#pragma once

#include "utils_global.h"
#include "valueovertime.h"

#include <functional>
#include <string>
#include <string_view>

namespace Utils {

// Reads the chart's text (see SimpleTimeChart::dataToText) into samples as it arrives, in
// pieces of any size: a week of samples is some 400 MB of text that need not be held at once.
// The samples are kept apart from any chart until SimpleTimeChart::takeData, so that a text
// that does not read changes nothing.
class UTILS_EXPORT ChartTextReader
{
public:
    using Progress = std::function<void(int done, int total)>;

    explicit ChartTextReader(std::string_view separator);

    // False once the text cannot be read any more; the rest of it may be dropped then.
    bool append(std::string_view piece);
    // Forgets everything appended, to read a text from its start again.
    void restart();
    // The end of the text: true when it all read. Puts the samples in time order.
    bool finish();

    // Reports of the characters read out of `totalBytes`, now and then (may run the event loop).
    void setProgress(const Progress &progress, qint64 totalBytes);

    // The samples read, handed over once finish() returned true.
    ValueOverTime takeSamples();

private:
    bool item(const char *begin, const char *end, bool last);
    bool fail();

    std::string m_separator;
    bool m_commaSeparated;
    ValueOverTime m_samples;
    std::string m_tail; // an item not yet ended by a separator
    double m_fields[3] = {};
    int m_fieldCount = 0;
    int m_items = 0;
    qint64 m_bytes = 0;
    bool m_failed = false;
    bool m_nonBlank = false; // anything but white space seen
    bool m_blankFailure = false; // an unreadable blank item, harmless if the whole text is blank
    bool m_ordered = true;
    Progress m_progress;
    qint64 m_totalBytes = 0;
};

} // namespace Utils
