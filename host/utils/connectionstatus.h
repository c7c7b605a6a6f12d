#pragma once

#include "utils_global.h"

#include <QWidget>

namespace Utils {

class ConnectionStatusPrivate;

// Status-bar indicator of the connection: an LED icon and "Connected" / "Disconnected".
class UTILS_EXPORT ConnectionStatus : public QWidget
{
    Q_OBJECT

public:
    explicit ConnectionStatus(QWidget *parent = nullptr);
    ~ConnectionStatus() override;

    void setConnected(bool connected);
    bool isConnected() const;
    QString text() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    ConnectionStatusPrivate *d;
};

} // namespace Utils
