#include "tcpcommunication.h"

#include "answercollector.h"
#include "networkport.h"
#include "seriallog.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <climits>
#include <cmath>
#include <deque>

namespace ExtensionSystem {

using Internal::serialLog;

class TcpCommunication::Private
{
public:
    struct Transaction
    {
        unsigned int id = 0;
        DataFrame *frame = nullptr;
        DataFrame::iterator next;
    };

    enum class Phase { Idle, Sending, Waiting };

    explicit Private(TcpCommunication *q);

    void kick();
    void startEntry(DataFrameEntry &entry);
    void sendNextCharacter();
    void startWaiting();
    void collect();
    void onTimeout();
    void fail(const QString &reason);
    void finishEntry(quint32 status);
    void stopTimers();
    static void failRemaining(Transaction &transaction);
    std::deque<Transaction> takeAllFailed();
    bool connected() const { return socket->state() == QAbstractSocket::ConnectedState; }

    TcpCommunication *q;
    QTcpSocket *socket;
    QTimer *kickTimer;
    QTimer *paceTimer;
    QTimer *timeoutTimer;

    PortSettings settings;
    QString errorString;
    unsigned int lastId = 0;
    std::deque<Transaction> queue;
    bool closing = false;
    bool failed = false;

    Phase phase = Phase::Idle;
    QByteArray frameBytes;
    int sentCharacters = 0;
    int timeoutMs = 0;
    AnswerCollector collector;
    QElapsedTimer entryClock;
};

TcpCommunication::Private::Private(TcpCommunication *q)
    : q(q)
    , socket(new QTcpSocket(q))
    , kickTimer(new QTimer(q))
    , paceTimer(new QTimer(q))
    , timeoutTimer(new QTimer(q))
{
    kickTimer->setSingleShot(true);
    kickTimer->setInterval(0);
    paceTimer->setSingleShot(true);
    paceTimer->setTimerType(Qt::PreciseTimer);
    timeoutTimer->setSingleShot(true);
    timeoutTimer->setTimerType(Qt::PreciseTimer);

    QObject::connect(kickTimer, &QTimer::timeout, q, [this] { kick(); });
    QObject::connect(paceTimer, &QTimer::timeout, q, [this] { sendNextCharacter(); });
    QObject::connect(timeoutTimer, &QTimer::timeout, q, [this] { onTimeout(); });
    QObject::connect(socket, &QTcpSocket::readyRead, q, [this] { collect(); });
    QObject::connect(socket, &QTcpSocket::disconnected, q,
                     [this] { fail(TcpCommunication::tr("The server closed the connection")); });
    QObject::connect(socket, &QAbstractSocket::errorOccurred, q,
                     [this](QAbstractSocket::SocketError) { fail(socket->errorString()); });
}

// As on the serial line: emitFinished leaves only from here, a timer slot, so a receiver may
// close or delete this object or run a nested transaction.
void TcpCommunication::Private::kick()
{
    if (phase != Phase::Idle || queue.empty())
        return;
    Transaction &transaction = queue.front();
    const bool done = !transaction.frame || transaction.next == transaction.frame->end();
    if (!done && connected()) {
        startEntry(*transaction.next);
        return;
    }
    if (!done)
        failRemaining(transaction);
    const unsigned int id = transaction.id;
    queue.pop_front();
    if (!queue.empty())
        kickTimer->start();
    emit q->emitFinished(id);
}

void TcpCommunication::Private::startEntry(DataFrameEntry &entry)
{
    entry.answer.clear();
    entry.status = 0;
    collector.start(entry.answerPattern);
    socket->readAll(); // a late answer to an earlier request must not count for this one

    frameBytes = QByteArray::fromStdString(entry.frame);
    sentCharacters = 0;
    timeoutMs = entry.timeout > 0 ? int(std::ceil(qMin(entry.timeout, double(INT_MAX / 2)))) : 0;
    phase = Phase::Sending;
    entryClock.start();
    qCDebug(serialLog).noquote() << "send" << frameBytes << "delay" << entry.characterDelay
                                 << "timeout" << timeoutMs;
    if (frameBytes.isEmpty()) {
        startWaiting();
    } else if (entry.characterDelay > 0) {
        paceTimer->setInterval(int(qMin<quint32>(entry.characterDelay, INT_MAX / 2)));
        sendNextCharacter();
    } else {
        socket->write(frameBytes);
        sentCharacters = frameBytes.size();
        socket->flush();
        startWaiting();
    }
}

void TcpCommunication::Private::sendNextCharacter()
{
    if (phase != Phase::Sending || sentCharacters >= frameBytes.size())
        return;
    socket->write(frameBytes.constData() + sentCharacters, 1);
    ++sentCharacters;
    socket->flush();
    if (phase != Phase::Sending)
        return; // the write failed and closed the port
    if (sentCharacters < frameBytes.size())
        paceTimer->start();
    else
        startWaiting();
}

void TcpCommunication::Private::startWaiting()
{
    phase = Phase::Waiting;
    // Whatever came in while the frame was going out cannot answer it.
    socket->readAll();
    timeoutTimer->start(timeoutMs);
}

void TcpCommunication::Private::collect()
{
    const QByteArray data = socket->readAll();
    if (phase != Phase::Waiting)
        return; // before the frame was out, or between entries: never an answer
    if (collector.feed(data))
        finishEntry(collector.status());
}

void TcpCommunication::Private::onTimeout()
{
    if (phase != Phase::Waiting)
        return;
    if (socket->bytesAvailable() > 0)
        collect();
    if (phase == Phase::Waiting)
        finishEntry(0);
}

// The connection broke: everything pending ends with status 0, from the event loop.
void TcpCommunication::Private::fail(const QString &reason)
{
    if (closing || failed)
        return; // our own close, or the disconnect that follows an error
    failed = true;
    errorString = reason;
    qCWarning(serialLog).noquote()
        << "Closing" << settings.portName << "after a failure:" << reason;
    if (phase != Phase::Idle)
        finishEntry(0);
    closing = true;
    socket->abort();
    closing = false;
    kickTimer->start();
    QMetaObject::invokeMethod(
        q, [q = q, reason] { emit q->portFailed(reason); }, Qt::QueuedConnection);
}

void TcpCommunication::Private::finishEntry(quint32 status)
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

void TcpCommunication::Private::stopTimers()
{
    paceTimer->stop();
    timeoutTimer->stop();
}

void TcpCommunication::Private::failRemaining(Transaction &transaction)
{
    if (!transaction.frame)
        return;
    for (; transaction.next != transaction.frame->end(); ++transaction.next) {
        transaction.next->answer.clear();
        transaction.next->status = 0;
    }
}

std::deque<TcpCommunication::Private::Transaction> TcpCommunication::Private::takeAllFailed()
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

TcpCommunication::TcpCommunication(QObject *parent)
    : CommunicationInterface(parent)
    , d(std::make_unique<Private>(this))
{
}

TcpCommunication::~TcpCommunication()
{
    QObject::disconnect(d->socket, nullptr, this, nullptr);
    d->socket->abort();
    for (const Private::Transaction &transaction : d->takeAllFailed())
        emit emitFinished(transaction.id);
}

bool TcpCommunication::open(const PortSettings &settings, QString *errorMessage)
{
    if (isOpen())
        vClose();
    d->errorString.clear();
    d->failed = false;
    d->settings = settings;
    NetworkPort address;
    QString reason;
    if (!NetworkPort::parse(settings.portName, &address)) {
        reason = tr("not of the form %1").arg(NetworkPort::form());
    } else {
        d->closing = true; // failures to connect are reported here, not as a broken port
        d->socket->connectToHost(address.host, address.port);
        if (!d->socket->waitForConnected(connectTimeoutMs)) {
            reason = d->socket->error() == QAbstractSocket::SocketTimeoutError
                ? tr("no answer from the server within %1 s").arg(connectTimeoutMs / 1000)
                : d->socket->errorString();
            d->socket->abort();
        }
        d->closing = false;
    }
    if (!reason.isEmpty()) {
        d->errorString = tr("Cannot connect to %1: %2").arg(settings.portName, reason);
        qCWarning(serialLog).noquote() << d->errorString;
        if (errorMessage)
            *errorMessage = d->errorString;
        return false;
    }
    d->socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    qCInfo(serialLog).noquote() << "Connected to" << settings.portName;
    return true;
}

bool TcpCommunication::isOpen() const
{
    return d->connected();
}

QString TcpCommunication::errorString() const
{
    return d->errorString;
}

int TcpCommunication::pendingTransactions() const
{
    return int(d->queue.size());
}

void TcpCommunication::vSendRawData(std::string data)
{
    if (!isOpen()) {
        qCWarning(serialLog) << "Raw data dropped: the connection is not open";
        return;
    }
    d->socket->write(data.data(), qint64(data.size()));
}

unsigned int TcpCommunication::uiSendDataFrame(DataFrame *frame)
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

void TcpCommunication::vSetPortSettings(const PortSettings &settings)
{
    const int rate = d->settings.baudrate;
    d->settings = settings;
    d->settings.baudrate = rate; // the server's, not ours to change
}

PortSettings TcpCommunication::getPortSettings()
{
    return d->settings;
}

void TcpCommunication::vClose()
{
    if (d->socket->state() != QAbstractSocket::UnconnectedState) {
        qCInfo(serialLog).noquote() << "Closing" << d->settings.portName;
        d->closing = true;
        d->socket->abort();
        d->closing = false;
    }
    const std::deque<Private::Transaction> pending = d->takeAllFailed();
    QPointer<TcpCommunication> guard(this);
    for (const Private::Transaction &transaction : pending) {
        emit emitFinished(transaction.id);
        if (!guard)
            return;
    }
}

} // namespace ExtensionSystem
