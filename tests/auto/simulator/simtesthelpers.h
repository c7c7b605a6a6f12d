#pragma once

#include <simulatedsensor.h>

#include <QByteArray>
#include <QRegularExpression>

// Helpers shared by the simulator tests. The frame rule is written out again here on purpose:
// a test that reused the simulator's own helpers would not notice a mistake in them.
namespace SimTest {

inline QByteArray xorChecksum(const QByteArray &text)
{
    int sum = 0;
    for (char c : text)
        sum ^= static_cast<unsigned char>(c);
    return QByteArray::number(sum, 16).toUpper().rightJustified(2, '0');
}

inline QByteArray frame(const QByteArray &body)
{
    const QByteArray head
        = "/" + QByteArray::number(body.size() - 2, 16).toUpper().rightJustified(2, '0') + body;
    return head + xorChecksum(head) + ".";
}

inline bool checksumValid(const QByteArray &answer)
{
    return answer.size() >= 8
        && answer.mid(answer.size() - 3, 2) == xorChecksum(answer.left(answer.size() - 3));
}

inline bool matchesAnchored(const QString &pattern, const QByteArray &answer)
{
    const QRegularExpression re(QRegularExpression::anchoredPattern(pattern));
    return re.isValid() && re.match(QString::fromLatin1(answer)).hasMatch();
}

// Everything the sensor sends back for the request body.
inline QByteArray exchange(QuxSim::SimulatedSensor &sensor, const QByteArray &body, int baud = 0)
{
    QByteArray bytes;
    for (const QuxSim::SimulatedSensor::Output &output : sensor.receive(frame(body), baud))
        bytes += output.bytes;
    return bytes;
}

// The decoded body of the answer ("" when nothing or a bad frame came back).
inline QByteArray ask(QuxSim::SimulatedSensor &sensor, const QByteArray &body)
{
    const QByteArray answer = exchange(sensor, body);
    return checksumValid(answer) ? answer.mid(3, answer.size() - 6) : QByteArray();
}

} // namespace SimTest
