#include "window/connectionswitchdialog.h"

#include "ui_connectionswitchdialog.h"

namespace DrumoSensorPlugin {
namespace Core {

// The form (connectionswitchdialog.ui) names the dialog "connectionSwitchingDialog", which its
// style sheet addresses, and translates its texts in that context.
ConnectionSwitchDialog::ConnectionSwitchDialog()
    : QDialog(nullptr, Qt::SplashScreen)
    , ui(new Ui::connectionSwitchingDialog)
{
    ui->setupUi(this);
    connect(ui->pcToSensor, &QAbstractButton::clicked, this, &ConnectionSwitchDialog::vPcToSensor);
    connect(ui->sensorToPc, &QAbstractButton::clicked, this, &ConnectionSwitchDialog::vSensorToPc);
    connect(ui->cancel, &QAbstractButton::clicked, this, &ConnectionSwitchDialog::vCancel);
    setResult(Cancel);
}

ConnectionSwitchDialog::~ConnectionSwitchDialog()
{
    delete ui;
}

int ConnectionSwitchDialog::exec()
{
    m_closedWith = Rejected;
    QDialog::exec();
    return m_closedWith;
}

void ConnectionSwitchDialog::done(int code)
{
    m_closedWith = code;
    QDialog::done(code);
}

void ConnectionSwitchDialog::vPcToSensor()
{
    accept();
    setResult(PcToSensor);
}

void ConnectionSwitchDialog::vSensorToPc()
{
    accept();
    setResult(SensorToPc);
}

void ConnectionSwitchDialog::vCancel()
{
    accept();
    setResult(Cancel);
}

} // namespace Core
} // namespace DrumoSensorPlugin
