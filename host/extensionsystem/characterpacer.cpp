#include "characterpacer.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cmath>

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>
#endif

namespace ExtensionSystem {

CharacterPacer::CharacterPacer(QObject *parent)
    : QObject(parent)
{
#ifdef Q_OS_LINUX
    m_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &CharacterPacer::onWakeUp);
        return;
    }
#endif
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &CharacterPacer::onWakeUp);
}

CharacterPacer::~CharacterPacer()
{
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        delete m_notifier;
        ::close(m_fd);
    }
#endif
}

void CharacterPacer::start(qint64 intervalNs)
{
    stop();
    m_intervalNs = intervalNs;
    m_clock.start();
}

bool CharacterPacer::isDue(int k) const
{
    return m_clock.isValid() && m_clock.nsecsElapsed() >= k * m_intervalNs;
}

qint64 CharacterPacer::ticksDue() const
{
    return m_clock.isValid() && m_intervalNs > 0 ? m_clock.nsecsElapsed() / m_intervalNs : 0;
}

void CharacterPacer::waitFor(int k)
{
    m_waitedTick = k;
    m_armed = true;
    const qint64 remainingNs = qMax<qint64>(0, k * m_intervalNs - m_clock.nsecsElapsed());
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        // Relative to now: a zero value would disarm the timer, so a tick already due waits 1 ns.
        itimerspec due {};
        const qint64 ns = qMax<qint64>(1, remainingNs);
        due.it_value.tv_sec = time_t(ns / 1000000000);
        due.it_value.tv_nsec = long(ns % 1000000000);
        ::timerfd_settime(m_fd, 0, &due, nullptr);
        return;
    }
#endif
    m_timer->start(int(std::ceil(double(remainingNs) / 1e6)));
}

void CharacterPacer::stop()
{
    m_waitedTick = 0;
    // Most stops find nothing set (a frame sent whole, an answer's end): no system call then.
    if (!m_armed)
        return;
    m_armed = false;
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        const itimerspec disarmed {};
        ::timerfd_settime(m_fd, 0, &disarmed, nullptr);
        quint64 expirations = 0;
        // A tick that fired before the disarm must not wake the next frame.
        while (::read(m_fd, &expirations, sizeof expirations) > 0) { }
        return;
    }
#endif
    m_timer->stop();
}

void CharacterPacer::onWakeUp()
{
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        quint64 expirations = 0;
        if (::read(m_fd, &expirations, sizeof expirations) <= 0)
            return;
    }
#endif
    m_armed = false;
    if (m_waitedTick == 0)
        return;
    // A precise timer may still wake a little before the tick it was set for.
    if (!isDue(m_waitedTick)) {
        waitFor(m_waitedTick);
        return;
    }
    m_waitedTick = 0;
    emit due();
}

} // namespace ExtensionSystem
