#include "devicecommunication.h"

#include "answercollector.h"
#include "characterpacer.h"
#include "seriallog.h"

#include <QElapsedTimer>
#include <QIODevice>
#include <QPointer>
#include <QTimer>

#include <climits>
#include <cmath>
#include <deque>

namespace ExtensionSystem {

using Internal::serialLog;

namespace {
// How often a waiting entry looks at the device itself when polling is enabled.
constexpr int pollIntervalMs = 2;
// Extra time granted for handing a frame to the driver before the entry is given up.
constexpr int sendGraceMs = 1000;
} // namespace

class DeviceCommunication::Private
{
public:
    struct Transaction
    {
        unsigned int id = 0;
        DataFrame *frame = nullptr;
        DataFrame::iterator next; // the entry to run next (or running)
    };

    enum class Phase { Idle, Sending, Waiting };

    explicit Private(DeviceCommunication *q);

    void kick();
    void startEntry(DataFrameEntry &entry);
    void startCollecting(const std::string &answerPattern);
    void sendNextCharacter();
    void write(int count);
    bool frameSent() const;
    void checkSent();
    void startWaiting();
    void collect();
    void pullPending();
    void onTimeout();
    void onPoll();
    void expectMore();
    void setThreshold(int characters);
    void startPollTimer(int characters);
    void finishEntry(quint32 status);
    void stopTimers();
    static void failRemaining(Transaction &transaction);
    std::deque<Transaction> takeAllFailed();

    DeviceCommunication *q;
    QIODevice *device = nullptr;
    QTimer *kickTimer;
    CharacterPacer *pacer;
    QTimer *timeoutTimer;
    QTimer *pollTimer;
    bool polling = false;

    QString portPath;
    QString errorString;
    unsigned int lastId = 0;
    std::deque<Transaction> queue;

    // State of the running entry.
    Phase phase = Phase::Idle;
    QByteArray frameBytes;
    int queuedCharacters = 0; // handed to the device so far
    int timeoutMs = 0;
    AnswerCollector collector;
    QElapsedTimer entryClock;
    qint64 sendBudgetMs = 0;
    // How many characters the device waits for before it reports input (0: any), and whether
    // the answer's length field is still believed for this entry.
    int threshold = 0;
    bool lengthTrusted = true;
    qint64 received = 0; // characters read so far, for telling whether a poll found any
};

DeviceCommunication::Private::Private(DeviceCommunication *q)
    : q(q)
    , kickTimer(new QTimer(q))
    , pacer(new CharacterPacer(q))
    , timeoutTimer(new QTimer(q))
    , pollTimer(new QTimer(q))
{
    kickTimer->setSingleShot(true);
    kickTimer->setInterval(0);
    timeoutTimer->setSingleShot(true);
    timeoutTimer->setTimerType(Qt::PreciseTimer);
    pollTimer->setInterval(pollIntervalMs);
    pollTimer->setTimerType(Qt::PreciseTimer);

    QObject::connect(kickTimer, &QTimer::timeout, q, [this] { kick(); });
    QObject::connect(pacer, &CharacterPacer::due, q, [this] { sendNextCharacter(); });
    QObject::connect(timeoutTimer, &QTimer::timeout, q, [this] { onTimeout(); });
    QObject::connect(pollTimer, &QTimer::timeout, q, [this] { onPoll(); });
}

// The only place that emits emitFinished during normal operation. It runs from a timer, never
// from inside a device's signal, so a receiver may close or even delete this object, or spin
// a nested event loop that queues further transactions.
void DeviceCommunication::Private::kick()
{
    if (phase != Phase::Idle || queue.empty())
        return;
    Transaction &transaction = queue.front();
    const bool done = !transaction.frame || transaction.next == transaction.frame->end();
    if (!done && q->isOpen()) {
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

void DeviceCommunication::Private::startEntry(DataFrameEntry &entry)
{
    // A DataFrame may be reused (the identification sends the same one repeatedly), so nothing
    // of an earlier run may survive.
    entry.answer.clear();
    entry.status = 0;
    collector.reset();

    // A late answer to an earlier request must not count for this one.
    q->discardInput();
    if (!q->isOpen()) { // the discard found the device dead
        finishEntry(0);
        return;
    }

    frameBytes = QByteArray::fromStdString(entry.frame);
    queuedCharacters = 0;
    lengthTrusted = true;
    timeoutMs = entry.timeout > 0 ? int(std::ceil(qMin(entry.timeout, double(INT_MAX / 2)))) : 0;
    const quint32 characterDelay = entry.characterDelay;
    sendBudgetMs = qint64(characterDelay) * frameBytes.size() + sendGraceMs;
    phase = Phase::Sending;
    entryClock.start();
    qCDebug(serialLog).noquote() << "send" << frameBytes << "delay" << characterDelay << "timeout"
                                 << timeoutMs;

    if (polling)
        pollTimer->start();
    if (frameBytes.isEmpty()) {
        startCollecting(entry.answerPattern);
        startWaiting();
    } else if (characterDelay > 0 && frameBytes.size() > 1) {
        // Character k leaves no sooner than k delays after the first one, by the frame's own
        // clock: a late character does not push the ones after it back.
        pacer->start(qint64(qMin<quint32>(characterDelay, INT_MAX / 2)) * 1000000);
        write(1);
        // The answer pattern is compiled while the first character travels: no answer is read
        // before the frame is complete, and the line no longer waits for the compilation.
        if (phase == Phase::Sending)
            startCollecting(entry.answerPattern);
        // A failed write may have ended the entry already.
        if (phase == Phase::Sending && queuedCharacters < frameBytes.size())
            pacer->waitFor(queuedCharacters);
    } else {
        startCollecting(entry.answerPattern);
        write(frameBytes.size());
    }
}

void DeviceCommunication::Private::startCollecting(const std::string &answerPattern)
{
    collector.start(answerPattern);
    if (!collector.isPatternValid()) {
        qCWarning(serialLog).noquote()
            << "Invalid answer pattern:" << QString::fromStdString(answerPattern)
            << collector.patternErrorString();
    }
}

void DeviceCommunication::Private::sendNextCharacter()
{
    if (phase != Phase::Sending || queuedCharacters >= frameBytes.size()) {
        pacer->stop();
        return;
    }
    write(1);
    if (phase == Phase::Sending && queuedCharacters < frameBytes.size())
        pacer->waitFor(queuedCharacters);
}

// Hands the next `count` characters of the frame to the device at once, so that the moment the
// frame is complete is known. Whatever arrived before the last character goes out cannot be the
// answer to this frame: the sensor answers a whole frame only.
void DeviceCommunication::Private::write(int count)
{
    const bool last = queuedCharacters + count >= frameBytes.size();
    // A frame written whole follows startEntry()'s discard at once.
    if (last && queuedCharacters > 0)
        q->discardInput();
    q->writeCharacters(frameBytes.constData() + queuedCharacters, count);
    queuedCharacters += count;
    if (last)
        checkSent();
}

bool DeviceCommunication::Private::frameSent() const
{
    return queuedCharacters == frameBytes.size() && q->writeDrained();
}

void DeviceCommunication::Private::checkSent()
{
    if (phase == Phase::Sending && q->isOpen() && frameSent())
        startWaiting();
}

void DeviceCommunication::Private::startWaiting()
{
    phase = Phase::Waiting;
    // What the device took in so far was read before the frame was out; only the driver may
    // hold characters that arrived after it.
    device->readAll();
    timeoutTimer->start(timeoutMs);
    expectMore();
}

// While an answer is on its way, the device reports input only once the frame can be complete:
// from its length field once that is in, else from the shortest answer the pattern allows. Every
// report costs a wake-up of the thread, and a line may hand characters on one by one. The poll
// looks at the device once the characters awaited are overdue, in case the length field was wrong.
void DeviceCommunication::Private::expectMore()
{
    const int begun = int(collector.answer().size());
    int characters
        = begun < 3 ? qMax(3, collector.minimumLength()) - begun : collector.remainingCharacters();
    if (!lengthTrusted || characters <= 0)
        characters = 1;
    setThreshold(characters);
    if (polling)
        startPollTimer(characters);
}

void DeviceCommunication::Private::setThreshold(int characters)
{
    if (!q->isOpen()) {
        threshold = 0; // a port opened again starts from its own settings: any character
        return;
    }
    if (characters == threshold)
        return;
    threshold = characters;
    q->setReadThreshold(characters);
}

void DeviceCommunication::Private::startPollTimer(int characters)
{
    const double due = characters > 1 ? characters * q->characterTimeMs() : 0.0;
    pollTimer->start(pollIntervalMs + int(std::ceil(due)));
}

void DeviceCommunication::Private::collect()
{
    // Read in every phase: the device's buffer has no bound of its own, and a line that floods
    // between transactions would fill it. Nothing read while idle can answer a later request,
    // nor anything that arrived before the frame was complete.
    const QByteArray data = device->readAll();
    received += data.size();
    if (phase != Phase::Waiting)
        return;
    if (collector.feed(data))
        finishEntry(collector.status());
    else
        expectMore();
}

// Reads what the driver holds without waiting.
void DeviceCommunication::Private::pullPending()
{
    if (!q->isOpen())
        return;
    // Whatever the driver holds is taken, however few characters it is.
    setThreshold(0);
    q->fetchPending();
    if (q->isOpen() && device->bytesAvailable() > 0)
        collect();
}

void DeviceCommunication::Private::onTimeout()
{
    if (phase != Phase::Waiting)
        return;
    pullPending();
    if (phase == Phase::Waiting)
        finishEntry(0);
}

void DeviceCommunication::Private::onPoll()
{
    if (phase == Phase::Idle) {
        pollTimer->stop();
        return;
    }
    if (phase == Phase::Waiting && threshold > 1) {
        const qint64 before = received;
        pullPending();
        // Characters the device held back past their time: the length field was wrong (or the
        // line is slow), so every character counts from here on.
        if (received != before && phase == Phase::Waiting) {
            lengthTrusted = false;
            expectMore();
        }
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

void DeviceCommunication::Private::finishEntry(quint32 status)
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

// The read threshold stays: the next answer of a poll is as long as the last, so the terminal's
// settings are not touched twice per request. Input that comes in between is discarded before
// the next frame in any case, and a hang-up is reported whatever the threshold.
void DeviceCommunication::Private::stopTimers()
{
    pacer->stop();
    timeoutTimer->stop();
    pollTimer->stop();
}

void DeviceCommunication::Private::failRemaining(Transaction &transaction)
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
std::deque<DeviceCommunication::Private::Transaction> DeviceCommunication::Private::takeAllFailed()
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

DeviceCommunication::DeviceCommunication(QObject *parent)
    : CommunicationInterface(parent)
    , d(std::make_unique<Private>(this))
{
}

DeviceCommunication::~DeviceCommunication() = default;

QString DeviceCommunication::errorString() const
{
    return d->errorString;
}

int DeviceCommunication::pendingTransactions() const
{
    return int(d->queue.size());
}

unsigned int DeviceCommunication::uiSendDataFrame(DataFrame *frame)
{
    if (++d->lastId == 0)
        d->lastId = 1;
    Private::Transaction transaction;
    transaction.id = d->lastId;
    transaction.frame = frame;
    if (frame)
        transaction.next = frame->begin();
    d->queue.push_back(transaction);
    if (d->phase == Private::Phase::Idle && !d->kickTimer->isActive()) {
        // The only transaction on an idle line goes out at once, before whatever the caller
        // does next (the view's update after the previous answer); emitFinished still comes
        // from the event loop.
        if (d->queue.size() == 1 && frame && !frame->empty() && isOpen())
            d->startEntry(*d->queue.front().next);
        else
            d->kickTimer->start();
    }
    return transaction.id;
}

void DeviceCommunication::setDevice(QIODevice *device)
{
    d->device = device;
    connect(device, &QIODevice::readyRead, this, [this] { d->collect(); });
    connect(device, &QIODevice::bytesWritten, this, [this] { d->checkSent(); });
}

void DeviceCommunication::setPortPath(const QString &path)
{
    d->portPath = path;
}

QString DeviceCommunication::portPath() const
{
    return d->portPath;
}

void DeviceCommunication::setErrorString(const QString &reason)
{
    d->errorString = reason;
}

void DeviceCommunication::enablePolling()
{
    d->polling = true;
}

void DeviceCommunication::discardInput()
{
    d->device->readAll();
}

bool DeviceCommunication::writeDrained() const
{
    return true;
}

void DeviceCommunication::fetchPending() { }

void DeviceCommunication::setReadThreshold(int) { }

double DeviceCommunication::characterTimeMs() const
{
    return 0.0;
}

void DeviceCommunication::checkSent()
{
    d->checkSent();
}

void DeviceCommunication::failSending()
{
    if (d->phase == Private::Phase::Sending)
        d->finishEntry(0);
}

void DeviceCommunication::failPort(const QString &reason)
{
    d->errorString = reason;
    qCWarning(serialLog).noquote() << "Closing" << d->portPath << "after a failure:" << reason;
    if (d->phase != Private::Phase::Idle)
        d->finishEntry(0);
    closeDevice();
    // The queue drains with status 0 from the kick; portFailed follows from the event loop too,
    // since a failure is reported from inside the device's own signal.
    d->kickTimer->start();
    QMetaObject::invokeMethod(
        this, [this, reason] { emit portFailed(reason); }, Qt::QueuedConnection);
}

void DeviceCommunication::finishPending()
{
    const std::deque<Private::Transaction> pending = d->takeAllFailed();
    QPointer<DeviceCommunication> guard(this);
    for (const Private::Transaction &transaction : pending) {
        emit emitFinished(transaction.id);
        if (!guard)
            return;
    }
}

} // namespace ExtensionSystem
