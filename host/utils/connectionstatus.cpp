#include "connectionstatus.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>

namespace Utils {

class ConnectionStatusPrivate
{
public:
    bool connected = false;
    QLabel *icon = nullptr;
    QLabel *text = nullptr;
};

ConnectionStatus::ConnectionStatus(QWidget *parent)
    : QWidget(parent)
    , d(new ConnectionStatusPrivate)
{
    auto layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(4);
    d->icon = new QLabel(this);
    d->text = new QLabel(this);
    layout->addWidget(d->icon);
    layout->addWidget(d->text);
    setConnected(false);
}

ConnectionStatus::~ConnectionStatus()
{
    delete d;
}

void ConnectionStatus::setConnected(bool connected)
{
    d->connected = connected;
    const int size = qMax(12, fontMetrics().height());
    const QString icon = connected ? QStringLiteral(":/newPrefix/icons/led_state_2_2.svg")
                                   : QStringLiteral(":/newPrefix/icons/led_state_2_1.svg");
    // The off state is the lit icon drawn disabled (grey), so both share one shape.
    d->icon->setPixmap(QIcon(icon).pixmap(size, size, connected ? QIcon::Normal : QIcon::Disabled));
    d->text->setText(connected ? tr("Connected") : tr("Disconnected"));
    setToolTip(d->text->text());
}

bool ConnectionStatus::isConnected() const
{
    return d->connected;
}

QString ConnectionStatus::text() const
{
    return d->text->text();
}

void ConnectionStatus::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        setConnected(d->connected);
    QWidget::changeEvent(event);
}

} // namespace Utils
