#include "stopsignals.h"

#include <QSocketNotifier>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace QuxCtl {

namespace {

// The write ends of the living objects' pipes; a handler may only write to them.
constexpr int maxListeners = 64;
std::atomic<int> listeners[maxListeners];
// Once asked to stop, the process stays stopping: a stream of the next port ends at once.
std::atomic<int> receivedSignal { 0 };
int installed = 0;
struct sigaction previousInt;
struct sigaction previousTerm;

void handle(int signal)
{
    receivedSignal.store(signal);
    const char byte = char(signal);
    for (std::atomic<int> &fd : listeners) {
        const int write = fd.load();
        if (write >= 0)
            (void)::write(write, &byte, 1);
    }
}

struct Initialiser
{
    Initialiser()
    {
        for (std::atomic<int> &fd : listeners)
            fd.store(-1);
    }
};
Initialiser initialiser;

} // namespace

StopSignals::StopSignals(QObject *parent)
    : QObject(parent)
{
    if (receivedSignal.load() != 0) {
        QTimer::singleShot(0, this, [this] { emit received(receivedSignal.load()); });
        return;
    }
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    for (std::atomic<int> &fd : listeners) {
        int free = -1;
        if (fd.compare_exchange_strong(free, m_pipe[1]))
            break;
    }
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopSignals::readSignal);
    if (installed++ == 0) {
        struct sigaction action = {};
        action.sa_handler = handle;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, &previousInt);
        sigaction(SIGTERM, &action, &previousTerm);
    }
}

StopSignals::~StopSignals()
{
    if (m_pipe[0] < 0)
        return;
    if (--installed == 0) {
        sigaction(SIGINT, &previousInt, nullptr);
        sigaction(SIGTERM, &previousTerm, nullptr);
    }
    for (std::atomic<int> &fd : listeners) {
        int mine = m_pipe[1];
        fd.compare_exchange_strong(mine, -1);
    }
    delete m_notifier;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void StopSignals::readSignal()
{
    char byte = 0;
    while (::read(m_pipe[0], &byte, 1) == 1)
        emit received(int(byte));
}

} // namespace QuxCtl
