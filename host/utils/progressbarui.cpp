#include "progressbarui.h"

#include "utilslog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace Utils {

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// The widget an input event is meant for: the receiver itself, or for a shortcut the widget
// its action or shortcut object belongs to.
QWidget *inputTarget(QObject *receiver)
{
    for (QObject *object = receiver; object; object = object->parent()) {
        if (object->isWidgetType())
            return static_cast<QWidget *>(object);
    }
    return nullptr;
}

} // namespace

// Keeps the user's input away from every window but the waiting dialog, from the first moment
// of a modal wait: the dialog itself appears only after its delay, and Qt's own modality only
// with it, so without this a click or a key in the first few hundred milliseconds would reach
// the window that started the transaction (and could start another operation inside the wait).
// Input for a modal dialog or popup that opens during the wait goes through, as it would with
// Qt's modality. Nothing is drawn differently, so a fast transaction does not flicker.
class InputBlock : public QObject
{
public:
    explicit InputBlock(QWidget *dialog)
        : m_dialog(dialog)
    {
        qApp->installEventFilter(this);
    }
    ~InputBlock() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto widget = static_cast<QWidget *>(watched);
            if (widget->isWindow() && widget != m_dialog
                && (widget->isModal() || widget->windowType() == Qt::Popup))
                m_openedMeanwhile.append(widget);
            return false;
        }
        if (!isUserInput(event->type()))
            return false;
        // Events reach a QWindow first and its widgets next: they are judged at the widget.
        if (!watched->isWidgetType() && event->type() != QEvent::Shortcut)
            return false;
        QWidget *target = inputTarget(watched);
        return !target || !allowed(target->window());
    }

private:
    bool allowed(QWidget *window) const
    {
        if (window == m_dialog)
            return true;
        for (const QPointer<QWidget> &opened : m_openedMeanwhile) {
            if (opened == window)
                return true;
        }
        return false;
    }

    QPointer<QWidget> m_dialog;
    QList<QPointer<QWidget>> m_openedMeanwhile;
};

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
    // While a modal wait runs.
    std::unique_ptr<InputBlock> inputBlock;
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
    if (isModal() && !d->inputBlock)
        d->inputBlock = std::make_unique<InputBlock>(this);

    loop.exec(QEventLoop::DialogExec);

    if (!guard)
        return QDialog::Rejected;
    if (d->loop == &loop) {
        d->loop = nullptr;
        d->waiting = false;
        d->inputBlock.reset();
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
