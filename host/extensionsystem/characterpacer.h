#pragma once

#include "extensionsystem_global.h"

#include <QElapsedTimer>
#include <QObject>

QT_BEGIN_NAMESPACE
class QSocketNotifier;
class QTimer;
QT_END_NAMESPACE

namespace ExtensionSystem {

// The clock paced characters leave by, the host's requests and the simulated sensor's answers
// alike: tick k is due k intervals after start(), never sooner. The event loop's own timers wake
// up only at whole milliseconds (a 1 ms tick came every 1.1 to 1.2 ms, half a millisecond of
// every paced character lost), so on Linux a timer file descriptor wakes the loop at the due
// moment itself; elsewhere a precise QTimer does it.
class EXTENSIONSYSTEM_EXPORT CharacterPacer : public QObject
{
    Q_OBJECT

public:
    explicit CharacterPacer(QObject *parent = nullptr);
    ~CharacterPacer() override;

    void start(qint64 intervalNs);
    // Emits due() once tick k has come (at once when it is past).
    void waitFor(int k);
    void stop();
    bool isDue(int k) const;
    // The ticks come so far (0 before the first interval has passed).
    qint64 ticksDue() const;

signals:
    void due();

private:
    void onWakeUp();

    QElapsedTimer m_clock;
    qint64 m_intervalNs = 0;
    int m_waitedTick = 0;
    bool m_armed = false; // a wake-up is set, so stop() has something to undo
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_timer = nullptr;
};

} // namespace ExtensionSystem
