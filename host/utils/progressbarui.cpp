#include "progressbarui.h"

#include "utilslog.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace Utils {

class ProgressBarUiPrivate
{
public:
    bool showUi = true;
    int showDelay = 300;
    bool waiting = false;
    unsigned int waitedId = 0;
    QEventLoop *loop = nullptr; // the nested loop of the running exec(id), on its stack
    int result = QDialog::Rejected;
    QTimer showTimer;
    QLabel *label = nullptr;
};

ProgressBarUi::ProgressBarUi(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , d(new ProgressBarUiPrivate)
{
    setWindowTitle(tr("Please wait"));
    auto layout = new QVBoxLayout(this);
    d->label = new QLabel(tr("Communicating with the sensor..."), this);
    layout->addWidget(d->label);
    auto bar = new QProgressBar(this);
    bar->setRange(0, 0); // busy indicator: the length of a transaction is unknown
    bar->setTextVisible(false);
    bar->setMinimumWidth(240);
    layout->addWidget(bar);

    d->showTimer.setSingleShot(true);
    connect(&d->showTimer, &QTimer::timeout, this, [this] {
        if (d->waiting && d->showUi)
            show();
    });
}

ProgressBarUi::~ProgressBarUi()
{
    // Destroyed while waiting (its parent went away inside the nested loop): end the loop;
    // exec notices through its guard that the object is gone.
    if (d->loop)
        d->loop->quit();
    delete d;
}

void ProgressBarUi::setShowUi(bool show)
{
    d->showUi = show;
    if (!show) {
        d->showTimer.stop();
        hide();
    }
}

bool ProgressBarUi::showUi() const
{
    return d->showUi;
}

void ProgressBarUi::setShowDelay(int ms)
{
    d->showDelay = qMax(0, ms);
}

int ProgressBarUi::exec(int id)
{
    if (d->loop) {
        // A second wait on the same dialog replaces the first one.
        qCWarning(Internal::utilsLog) << "ProgressBarUi::exec re-entered for id" << id;
        d->loop->quit();
    }
    QEventLoop loop;
    QPointer<ProgressBarUi> guard(this);
    d->loop = &loop;
    d->waiting = true;
    d->waitedId = static_cast<unsigned int>(id);
    d->result = QDialog::Rejected;
    if (d->showUi)
        d->showTimer.start(d->showDelay);

    loop.exec(QEventLoop::DialogExec);

    if (!guard)
        return QDialog::Rejected;
    if (d->loop == &loop) {
        d->loop = nullptr;
        d->waiting = false;
        d->showTimer.stop();
        hide();
    }
    const int result = d->result;
    d->result = QDialog::Rejected;
    return result;
}

void ProgressBarUi::reject()
{
    if (!d->waiting)
        QDialog::reject();
}

void ProgressBarUi::closeEvent(QCloseEvent *event)
{
    if (d->waiting)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void ProgressBarUi::exit(unsigned int id)
{
    if (!d->waiting || id != d->waitedId || !d->loop)
        return;
    d->result = QDialog::Accepted;
    d->waiting = false;
    d->loop->quit();
}

} // namespace Utils
