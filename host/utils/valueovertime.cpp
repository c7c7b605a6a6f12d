#include "valueovertime.h"

#include "utilslog.h"

#include <QSharedData>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace Utils {

namespace {
#ifdef Q_OS_LINUX
// From this size on a column gets an anonymous mapping of its own and grows with mremap():
// no copying, and the pages reserved ahead become resident only when written. Below it the
// heap is cheaper. Kept small, since the heap blocks a column outgrows stay resident as free
// memory: from 1 MiB on they came to about 3 MiB, 3 bytes per sample of a 1M-sample chart.
const size_t mapFrom = size_t(64) << 10;
#endif

// Gives a column `bytes` bytes, keeping its first `keep`; null when memory is exhausted (the
// old block then stays valid).
double *resizeColumn(double *old, size_t oldBytes, bool *mapped, size_t bytes, size_t keep)
{
#ifdef Q_OS_LINUX
    if (bytes >= mapFrom) {
        void *block = MAP_FAILED;
        if (*mapped) {
            block = mremap(old, oldBytes, bytes, MREMAP_MAYMOVE);
        } else {
            block
                = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (block != MAP_FAILED) {
                if (keep > 0)
                    std::memcpy(block, old, keep);
                std::free(old);
            }
        }
        if (block == MAP_FAILED)
            return nullptr;
        *mapped = true;
        return static_cast<double *>(block);
    }
#else
    Q_UNUSED(oldBytes)
    Q_UNUSED(mapped)
    Q_UNUSED(keep)
#endif
    return static_cast<double *>(std::realloc(old, bytes));
}

void freeColumn(double *column, size_t bytes, bool mapped)
{
#ifdef Q_OS_LINUX
    if (mapped) {
        munmap(column, bytes);
        return;
    }
#else
    Q_UNUSED(bytes)
    Q_UNUSED(mapped)
#endif
    std::free(column);
}
} // namespace

// Three arrays of doubles managed by hand: std::vector would copy on every growth step and
// would value-initialise (touch) the reserved capacity on resize.
class ValueOverTimeData : public QSharedData
{
public:
    ValueOverTimeData() = default;
    ValueOverTimeData(const ValueOverTimeData &other)
        : QSharedData(other)
    {
        if (!reserve(other.size))
            return; // out of memory: the copy starts empty rather than crashing
        for (int c = 0; c < 3; ++c) {
            if (other.size > 0)
                std::memcpy(columns[c], other.columns[c], sizeof(double) * other.size);
        }
        size = other.size;
    }
    ~ValueOverTimeData() { release(); }
    ValueOverTimeData &operator=(const ValueOverTimeData &) = delete;

    void release()
    {
        for (int c = 0; c < 3; ++c) {
            freeColumn(columns[c], bytes[c], mapped[c]);
            columns[c] = nullptr;
            bytes[c] = 0;
            mapped[c] = false;
        }
        size = capacity = 0;
    }

    // False when memory is exhausted; the arrays then keep their old capacity (a column
    // that did grow simply holds a larger block) and nothing is lost.
    bool reserve(int wanted)
    {
        if (wanted <= capacity)
            return true;
        const size_t wantedBytes = sizeof(double) * size_t(wanted);
        for (int c = 0; c < 3; ++c) {
            if (bytes[c] >= wantedBytes)
                continue;
            double *grown = resizeColumn(columns[c], bytes[c], &mapped[c], wantedBytes,
                                         sizeof(double) * size_t(size));
            if (!grown)
                return false;
            columns[c] = grown;
            bytes[c] = wantedBytes;
        }
        capacity = wanted;
        return true;
    }

    bool grow()
    {
        // Growth by half keeps the address space reserved ahead moderate; the pages beyond
        // size are never written, so they cost no resident memory.
        const int maxSize = std::numeric_limits<int>::max();
        const qint64 wanted = qMax<qint64>(1024, qint64(capacity) + capacity / 2);
        return reserve(int(qMin<qint64>(wanted, maxSize)));
    }

    double *columns[3] = { nullptr, nullptr, nullptr };
    size_t bytes[3] = { 0, 0, 0 };
    bool mapped[3] = { false, false, false };
    int size = 0;
    int capacity = 0;
};

namespace {
// Registered when the library is loaded, so that the type can travel through queued and
// string-based connections without every user registering it.
const int valueOverTimeMetaType = qRegisterMetaType<Utils::ValueOverTime>("Utils::ValueOverTime");
} // namespace

ValueOverTime::ValueOverTime()
    : d(new ValueOverTimeData)
{
}

ValueOverTime::ValueOverTime(const ValueOverTime &other) = default;
ValueOverTime &ValueOverTime::operator=(const ValueOverTime &other) = default;
ValueOverTime::~ValueOverTime() = default;

int ValueOverTime::size() const
{
    return d->size;
}

const double *ValueOverTime::pxData() const
{
    return d->columns[0];
}

const double *ValueOverTime::pyData() const
{
    return d->columns[1];
}

const double *ValueOverTime::pyRightData() const
{
    return d->columns[2];
}

void ValueOverTime::append(double x, double y, double yRight)
{
    ValueOverTimeData *data = d.data(); // detaches when shared
    if (data->size == data->capacity && !data->grow()) {
        qCWarning(Internal::utilsLog) << "out of memory, sample dropped";
        return;
    }
    const int i = data->size;
    data->columns[0][i] = x;
    data->columns[1][i] = y;
    data->columns[2][i] = yRight;
    data->size = i + 1;
}

void ValueOverTime::clear()
{
    if (d->ref.loadRelaxed() == 1)
        d->release();
    else
        d = new ValueOverTimeData;
}

void ValueOverTime::reserve(int samples)
{
    d->reserve(samples);
}

int ValueOverTime::capacity() const
{
    return d->capacity;
}

int ValueOverTime::lowerBound(double x) const
{
    const double *begin = d->columns[0];
    if (!begin)
        return 0;
    return int(std::lower_bound(begin, begin + d->size, x) - begin);
}

} // namespace Utils
