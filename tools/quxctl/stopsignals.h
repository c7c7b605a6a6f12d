#pragma once

#include <QObject>

class QSocketNotifier;

namespace QuxCtl {

// SIGINT and SIGTERM as a Qt signal, so that a stream run until stopped ends like one that ran
// its time: the last samples written, "offline" published. The handlers are installed while an
// object lives (several may live at once, one per port streamed) and the previous ones come back
// with the last. Once a signal came, every later object reports it at once.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

signals:
    void received(int signal);

private:
    void readSignal();

    int m_pipe[2] = { -1, -1 };
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace QuxCtl
