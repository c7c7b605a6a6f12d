#pragma once

#include <QDialog>

namespace Ui {
class connectionSwitchingDialog;
}

namespace DrumoSensorPlugin {
namespace Core {

// Asked when the user picks a port: whose settings win, the PC's (written to the sensor) or
// the sensor's (read into the PC), or leave everything as it was. A frameless modal dialog of
// three stacked buttons; Escape counts as Cancel.
//
// Each button accepts the dialog and then sets the result, so exec() returns 1 (Accepted)
// whichever button was pressed, and 0 for Escape: callers read result() for the choice.
// (QDialog::exec() itself would return result(), read after the loop, i.e. the choice.)
class ConnectionSwitchDialog : public QDialog
{
    Q_OBJECT

public:
    // Values of result() after the dialog closed.
    enum Choice { Cancel = 0, SensorToPc = 1, PcToSensor = 2 };

    ConnectionSwitchDialog();
    ~ConnectionSwitchDialog() override;

    // The code the dialog was closed with: accepted (1) by a button, rejected (0) by Escape.
    int exec() override;
    void done(int code) override;

protected slots:
    virtual void vPcToSensor();
    virtual void vSensorToPc();
    virtual void vCancel();

private:
    Ui::connectionSwitchingDialog *ui;
    int m_closedWith = Rejected;
};

} // namespace Core
} // namespace DrumoSensorPlugin
