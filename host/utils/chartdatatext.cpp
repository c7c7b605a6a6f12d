// The chart's samples as text, for the settings file.

#include "simpletimechart_p.h"

#include <QLocale>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace Utils {

namespace {
// 17 significant digits make every double read back bit for bit; QString::number does not
// depend on the locale.
inline void appendNumber(QString &text, double value)
{
    text += QString::number(value, 'g', 17);
}

bool readNumber(const QStringRef &field, double *value)
{
    bool ok = false;
    *value = QLocale::c().toDouble(field.trimmed(), &ok);
    return ok && std::isfinite(*value);
}
} // namespace

void SimpleTimeChart::dataToString(QString &text, const QString &separator) const
{
    text.clear();
    const int n = d->samples.size();
    if (n == 0)
        return;
    text.reserve(n * (3 * 12 + 2 + separator.size()));
    const double *x = d->samples.pxData();
    const double *y = d->samples.pyData();
    const double *r = d->samples.pyRightData();
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            text += separator;
        appendNumber(text, x[i]);
        text += QLatin1Char(',');
        appendNumber(text, y[i]);
        text += QLatin1Char(',');
        appendNumber(text, r[i]);
    }
}

bool SimpleTimeChart::setDataFromString(const QString &text, const QString &separator)
{
    // Read everything into a separate store first, so that a failure leaves the chart alone.
    QVector<double> numbers;
    if (!text.trimmed().isEmpty()) {
        if (separator.isEmpty())
            return false;
        const QVector<QStringRef> items = text.splitRef(separator);
        numbers.reserve(items.size() * 3);
        for (const QStringRef &item : items) {
            if (separator == QLatin1String(",")) {
                // The separator is the field delimiter too: the numbers come in threes.
                double value;
                if (!readNumber(item, &value))
                    return false;
                numbers.append(value);
                continue;
            }
            if (item.trimmed().isEmpty() && &item == &items.last())
                continue; // a trailing separator
            const QVector<QStringRef> fields = item.split(QLatin1Char(','));
            if (fields.size() != 3)
                return false;
            for (const QStringRef &field : fields) {
                double value;
                if (!readNumber(field, &value))
                    return false;
                numbers.append(value);
            }
        }
        if (numbers.size() % 3 != 0)
            return false;
    }

    const int n = numbers.size() / 3;
    // Drawing needs the times in order; text written by the chart already is.
    QVector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&numbers](int a, int b) { return numbers[3 * a] < numbers[3 * b]; });
    ValueOverTime loaded;
    loaded.reserve(n);
    for (int i : order)
        loaded.append(numbers[3 * i], numbers[3 * i + 1], numbers[3 * i + 2]);
    if (loaded.size() != n)
        return false; // out of memory

    d->samples = loaded;
    d->updateValueLabel();
    d->followNewest(true);
    return true;
}

} // namespace Utils
