#include "serialcommunication.h"

#include "answercollector.h"
#include "seriallog.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSerialPort>
#include <QTimer>

#include <climits>
#include <cmath>
#include <deque>

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

namespace ExtensionSystem {

using Internal::serialLog;

namespace {
// How often a waiting entry looks at the port itself. QtSerialPort 5.15 can stop delivering
// readyRead after a read of zero bytes; pulling what is pending at this pace keeps an answer
// from going unnoticed until the time-out.
constexpr int pollIntervalMs = 2;
// Extra time granted for handing a frame to the driver before the entry is given up.
constexpr int sendGraceMs = 1000;

bool isFatal(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
    case QSerialPort::NotOpenError:
        return true;
    default:
        return false;
    }
}
// A removed adapter (and a closed pseudo-terminal master) hangs the line up: reads return zero
// bytes, which QSerialPort 5.15 reports as ReadError with a stale errno rather than
// ResourceError. A zero-length read also happens on a healthy line when the data was already
// taken by an earlier read, so only the line's own state tells the two apart.
bool lineHungUp(const QSerialPort *port)
{
#ifdef Q_OS_UNIX
    pollfd descriptor { int(port->handle()), POLLIN, 0 };
    return ::poll(&descriptor, 1, 0) > 0 && (descriptor.revents & (POLLHUP | POLLERR | POLLNVAL));
#else
    Q_UNUSED(port)
    return false;
#endif
}
} // namespace

class SerialCommunication::Private
{
public:
    struct Transaction
    {
        unsigned int id = 0;
        DataFrame *frame = nullptr;
        DataFrame::iterator next; // the entry to run next (or running)
    };

    enum class Phase { Idle, Sending, Waiting };

    explicit Private(SerialCommunication *q);

    void kick();
    void startEntry(DataFrameEntry &entry);
    void sendNextCharacter();
    void write(int count);
    bool frameSent() const;
    void checkSent();
    void startWaiting();
    void collect();
    void pullPending();
    void onTimeout();
    void onPoll();
    void onError(QSerialPort::SerialPortError error);
    void finishEntry(quint32 status);
    void stopTimers();
    void failRemaining(Transaction &transaction);
    std::deque<Transaction> takeAllFailed();

    SerialCommunication *q;
    QSerialPort *port;
    QTimer *kickTimer;
    QTimer *paceTimer;
    QTimer *timeoutTimer;
    QTimer *pollTimer;

    PortSettings settings;
    QString portPath; // as given to open(), for messages
    QString errorString;
    unsigned int lastId = 0;
    std::deque<Transaction> queue;

    // State of the running entry.
    Phase phase = Phase::Idle;
    QByteArray frameBytes;
    int queuedCharacters = 0; // handed to QSerialPort::write so far
    int timeoutMs = 0;
    AnswerCollector collector;
    QElapsedTimer entryClock;
    qint64 sendBudgetMs = 0;
};

SerialCommunication::Private::Private(SerialCommunication *q)
    : q(q)
    , port(new QSerialPort(q))
    , kickTimer(new QTimer(q))
    , paceTimer(new QTimer(q))
    , timeoutTimer(new QTimer(q))
    , pollTimer(new QTimer(q))
{
    kickTimer->setSingleShot(true);
    kickTimer->setInterval(0);
    paceTimer->setSingleShot(true);
    paceTimer->setTimerType(Qt::PreciseTimer);
    timeoutTimer->setSingleShot(true);
    timeoutTimer->setTimerType(Qt::PreciseTimer);
    pollTimer->setInterval(pollIntervalMs);
    pollTimer->setTimerType(Qt::PreciseTimer);

    QObject::connect(kickTimer, &QTimer::timeout, q, [this] { kick(); });
    QObject::connect(paceTimer, &QTimer::timeout, q, [this] { sendNextCharacter(); });
    QObject::connect(timeoutTimer, &QTimer::timeout, q, [this] { onTimeout(); });
    QObject::connect(pollTimer, &QTimer::timeout, q, [this] { onPoll(); });
    QObject::connect(port, &QSerialPort::readyRead, q, [this] { collect(); });
    QObject::connect(port, &QSerialPort::bytesWritten, q, [this] { checkSent(); });
    QObject::connect(port, &QSerialPort::errorOccurred, q,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

// The only place that emits emitFinished during normal operation. It runs from a timer, never
// from inside a QSerialPort signal, so a receiver may close or even delete this object, or spin
// a nested event loop that queues further transactions.
void SerialCommunication::Private::kick()
{
    if (phase != Phase::Idle || queue.empty())
        return;
    Transaction &transaction = queue.front();
    const bool done = !transaction.frame || transaction.next == transaction.frame->end();
    if (!done && port->isOpen()) {
        startEntry(*transaction.next);
        return;
    }
    if (!done)
        failRemaining(transaction);
    const unsigned int id = transaction.id;
    queue.pop_front();
    if (!queue.empty())
        kickTimer->start();
    qCDebug(serialLog) << "transaction" << id << "finished";
    emit q->emitFinished(id);
}

void SerialCommunication::Private::startEntry(DataFrameEntry &entry)
{
    // A DataFrame may be reused (the identification sends the same one repeatedly), so nothing
    // of an earlier run may survive.
    entry.answer.clear();
    entry.status = 0;
    collector.start(entry.answerPattern);
    if (!collector.isPatternValid()) {
        qCWarning(serialLog).noquote()
            << "Invalid answer pattern:" << QString::fromStdString(entry.answerPattern)
            << collector.patternErrorString();
    }

    // A late answer to an earlier request must not count for this one: drop what QSerialPort
    // holds and what is still in the driver's buffer.
    port->clear(QSerialPort::Input);
    port->readAll();
    if (!port->isOpen()) { // the discard found the line hung up
        finishEntry(0);
        return;
    }

    frameBytes = QByteArray::fromStdString(entry.frame);
    queuedCharacters = 0;
    timeoutMs = entry.timeout > 0 ? int(std::ceil(qMin(entry.timeout, double(INT_MAX / 2)))) : 0;
    const quint32 characterDelay = entry.characterDelay;
    sendBudgetMs = qint64(characterDelay) * frameBytes.size() + sendGraceMs;
    phase = Phase::Sending;
    entryClock.start();
    qCDebug(serialLog).noquote() << "send" << frameBytes << "delay" << characterDelay << "timeout"
                                 << timeoutMs;

    pollTimer->start();
    if (frameBytes.isEmpty()) {
        startWaiting();
    } else if (characterDelay > 0) {
        paceTimer->setInterval(int(qMin<quint32>(characterDelay, INT_MAX / 2)));
        sendNextCharacter();
    } else {
        write(frameBytes.size());
    }
}

void SerialCommunication::Private::sendNextCharacter()
{
    if (phase != Phase::Sending || queuedCharacters >= frameBytes.size())
        return;
    write(1);
    // Restarted after each character, so every gap is at least the delay.
    if (phase == Phase::Sending && queuedCharacters < frameBytes.size())
        paceTimer->start();
}

// Hands the next `count` characters of the frame to the driver at once (flush), so that the
// moment the frame is complete is known. Whatever arrived before the last character goes out
// cannot be the answer to this frame: the sensor answers a whole frame only.
void SerialCommunication::Private::write(int count)
{
    const bool last = queuedCharacters + count >= frameBytes.size();
    if (last) {
        port->clear(QSerialPort::Input);
        port->readAll();
    }
    port->write(frameBytes.constData() + queuedCharacters, count);
    queuedCharacters += count;
    port->flush();
    if (last)
        checkSent();
}

// True once the last character has gone to the driver. Nothing read before that moment can be
// the answer to this frame.
bool SerialCommunication::Private::frameSent() const
{
    return queuedCharacters == frameBytes.size() && port->bytesToWrite() == 0;
}

void SerialCommunication::Private::checkSent()
{
    if (phase == Phase::Sending && port->isOpen() && frameSent())
        startWaiting();
}

void SerialCommunication::Private::startWaiting()
{
    phase = Phase::Waiting;
    // What QSerialPort took from the driver so far was read before the frame was out; only the
    // driver may hold characters that arrived after it.
    port->readAll();
    timeoutTimer->start(timeoutMs);
}

void SerialCommunication::Private::collect()
{
    // Read in every phase: QSerialPort's buffer has no bound of its own, and a line that floods
    // between transactions would fill it. Nothing read while idle can answer a later request.
    const QByteArray data = port->readAll();
    if (phase == Phase::Idle)
        return;
    if (phase == Phase::Sending)
        return; // arrived before the frame was complete, so it cannot be its answer
    if (collector.feed(data))
        finishEntry(collector.status());
}

// Reads what the driver holds without waiting; QSerialPort reports it through readyRead, which
// lands in collect().
void SerialCommunication::Private::pullPending()
{
    if (!port->isOpen())
        return;
    port->waitForReadyRead(0);
    if (port->isOpen() && port->bytesAvailable() > 0)
        collect();
}

void SerialCommunication::Private::onTimeout()
{
    if (phase != Phase::Waiting)
        return;
    pullPending();
    if (phase == Phase::Waiting)
        finishEntry(0);
}

void SerialCommunication::Private::onPoll()
{
    if (phase == Phase::Idle) {
        pollTimer->stop();
        return;
    }
    pullPending();
    if (phase == Phase::Sending) {
        checkSent();
        if (phase == Phase::Sending && entryClock.elapsed() > sendBudgetMs) {
            qCWarning(serialLog).noquote()
                << "Frame" << frameBytes << "could not be sent on" << portPath;
            finishEntry(0);
        }
    }
}

void SerialCommunication::Private::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError)
        return;
    if (!port->isOpen())
        return; // failures to open are reported by open()
    QString reason = port->errorString();
    const bool hungUp = !isFatal(error) && lineHungUp(port);
    if (hungUp)
        reason = SerialCommunication::tr("The device was disconnected");
    if (!isFatal(error) && !hungUp) {
        // Zero-length reads on a healthy line end up here too, hence debug level.
        qCDebug(serialLog).noquote() << portPath << error << reason;
        port->clearError();
        if (error == QSerialPort::WriteError && phase == Phase::Sending)
            finishEntry(0);
        return;
    }
    errorString = reason;
    qCWarning(serialLog).noquote() << "Closing" << portPath << "after a failure:" << reason;
    if (phase != Phase::Idle)
        finishEntry(0);
    port->close();
    // The queue drains with status 0 from kick(); portFailed follows from the event loop too,
    // since we are inside QSerialPort's own signal here.
    kickTimer->start();
    QMetaObject::invokeMethod(
        q, [q = q, reason] { emit q->portFailed(reason); }, Qt::QueuedConnection);
}

void SerialCommunication::Private::finishEntry(quint32 status)
{
    stopTimers();
    Transaction &transaction = queue.front();
    DataFrameEntry &entry = *transaction.next;
    entry.answer = collector.answer().toStdString();
    entry.status = status;
    qCDebug(serialLog).noquote() << "answer" << collector.answer() << "status" << status << "after"
                                 << entryClock.elapsed() << "ms";
    ++transaction.next;
    phase = Phase::Idle;
    kickTimer->start();
}

void SerialCommunication::Private::stopTimers()
{
    paceTimer->stop();
    timeoutTimer->stop();
    pollTimer->stop();
}

void SerialCommunication::Private::failRemaining(Transaction &transaction)
{
    if (!transaction.frame)
        return;
    for (; transaction.next != transaction.frame->end(); ++transaction.next) {
        transaction.next->answer.clear();
        transaction.next->status = 0;
    }
}

// Ends the running entry and hands back every pending transaction with its remaining entries
// set to status 0; the caller emits.
std::deque<SerialCommunication::Private::Transaction> SerialCommunication::Private::takeAllFailed()
{
    if (phase != Phase::Idle) {
        stopTimers();
        DataFrameEntry &entry = *queue.front().next;
        entry.answer = collector.answer().toStdString();
        entry.status = 0;
        ++queue.front().next;
        phase = Phase::Idle;
    }
    kickTimer->stop();
    std::deque<Transaction> pending;
    pending.swap(queue);
    for (Transaction &transaction : pending)
        failRemaining(transaction);
    return pending;
}

SerialCommunication::SerialCommunication(QObject *parent)
    : CommunicationInterface(parent)
    , d(std::make_unique<Private>(this))
{
}

SerialCommunication::~SerialCommunication()
{
    QObject::disconnect(d->port, nullptr, this, nullptr);
    d->port->close();
    for (const Private::Transaction &transaction : d->takeAllFailed())
        emit emitFinished(transaction.id);
}

bool SerialCommunication::open(const PortSettings &settings, QString *errorMessage)
{
    if (d->port->isOpen())
        vClose();
    d->errorString.clear();
    d->port->setPortName(settings.portName);
    d->portPath = settings.portName;
    QString reason;
    if (!d->port->open(QIODevice::ReadWrite)) {
        reason = d->port->errorString();
    } else if (!d->port->setBaudRate(settings.baudrate) || !d->port->setDataBits(QSerialPort::Data8)
               || !d->port->setParity(QSerialPort::NoParity)
               || !d->port->setStopBits(QSerialPort::OneStop)
               || !d->port->setFlowControl(QSerialPort::NoFlowControl)) {
        reason = d->port->errorString();
        d->port->close();
    }
    if (!reason.isEmpty()) {
        d->errorString = tr("Cannot open %1: %2").arg(settings.portName, reason);
        qCWarning(serialLog).noquote() << d->errorString;
        if (errorMessage)
            *errorMessage = d->errorString;
        return false;
    }
    d->port->clear();
    d->settings = settings;
    qCInfo(serialLog).noquote() << "Opened" << settings.portName << "at" << settings.baudrate
                                << "baud";
    return true;
}

bool SerialCommunication::isOpen() const
{
    return d->port->isOpen();
}

QString SerialCommunication::errorString() const
{
    return d->errorString;
}

int SerialCommunication::pendingTransactions() const
{
    return int(d->queue.size());
}

void SerialCommunication::vSendRawData(std::string data)
{
    if (!d->port->isOpen()) {
        qCWarning(serialLog) << "Raw data dropped: the port is not open";
        return;
    }
    d->port->write(data.data(), qint64(data.size()));
}

unsigned int SerialCommunication::uiSendDataFrame(DataFrame *frame)
{
    if (++d->lastId == 0)
        d->lastId = 1;
    Private::Transaction transaction;
    transaction.id = d->lastId;
    transaction.frame = frame;
    if (frame)
        transaction.next = frame->begin();
    d->queue.push_back(transaction);
    if (d->phase == Private::Phase::Idle && !d->kickTimer->isActive())
        d->kickTimer->start();
    return transaction.id;
}

void SerialCommunication::vSetPortSettings(const PortSettings &settings)
{
    const int applied = d->port->isOpen() ? d->port->baudRate() : d->settings.baudrate;
    d->settings = settings;
    if (!d->port->isOpen())
        return;
    if (settings.baudrate != applied && !d->port->setBaudRate(settings.baudrate)) {
        qCWarning(serialLog).noquote() << "Baud rate" << settings.baudrate << "refused on"
                                       << d->portPath << d->port->errorString();
        d->port->clearError();
    }
    d->settings.baudrate = d->port->baudRate();
    qCDebug(serialLog) << "baud rate now" << d->settings.baudrate;
}

PortSettings SerialCommunication::getPortSettings()
{
    PortSettings current = d->settings;
    if (d->port->isOpen())
        current.baudrate = d->port->baudRate();
    return current;
}

void SerialCommunication::vClose()
{
    if (d->port->isOpen()) {
        qCInfo(serialLog).noquote() << "Closing" << d->portPath;
        d->port->close();
    }
    const std::deque<Private::Transaction> pending = d->takeAllFailed();
    QPointer<SerialCommunication> guard(this);
    for (const Private::Transaction &transaction : pending) {
        emit emitFinished(transaction.id);
        if (!guard)
            return;
    }
}

} // namespace ExtensionSystem
