#pragma once

// Shared by the fuzz targets: a check that stops the run with a message (libFuzzer then keeps
// the input as a crash reproducer), and a reader that takes choices from the front of the input.

#include <QLoggingCategory>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition, ...)                                                                 \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__,          \
                         __LINE__);                                                                \
            std::fprintf(stderr, __VA_ARGS__);                                                     \
            std::fprintf(stderr, "\n");                                                            \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// Log output costs more than most inputs; a finding shows up as a failed check anyway.
inline void silenceLogging()
{
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
}

// Whether a frame's checksum digits would stand for a byte of 8 bits (the XOR of everything
// before them is 0x80 or more). The plug-in's signed checksum prints such a byte with more than
// two digits, so it never decodes such a frame; the simulator's does (fuzz_frame checks both).
inline bool eightBitChecksum(const std::string &frame)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i + 3 < frame.size(); ++i)
        sum ^= static_cast<unsigned char>(frame[i]);
    return frame.size() >= 8 && sum >= 0x80;
}

class FuzzInput
{
public:
    FuzzInput(const std::uint8_t *data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    // The next byte, 0 when the input is used up.
    std::uint8_t byte() { return m_position < m_size ? m_data[m_position++] : 0; }
    // The next `count` bytes (fewer at the end) as text.
    std::string bytes(std::size_t count)
    {
        const std::size_t n = count < remaining() ? count : remaining();
        std::string text(reinterpret_cast<const char *>(m_data + m_position), n);
        m_position += n;
        return text;
    }
    std::string rest() { return bytes(remaining()); }
    std::size_t remaining() const { return m_size - m_position; }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};
