// The window's settings files and chart export: the file dialogs, messages and progress around
// the files layer (files/settingsfile.h, files/propertytext.h), and what a load does to the
// window.
//
// Choices where the behaviour was open:
// - Saving never deletes the old file first: the new text goes into a file beside it that
//   replaces it only when complete, so a failed save leaves the old file as it was; the user is
//   told that the file was not saved and why.
// - A chart text that does not read leaves the chart's samples as they were (the chart reads
//   all or nothing), instead of clearing them first; as before, the properties are still loaded
//   and the load counts as complete (the chart's result is not checked).
// - A value that is not a number sets 0, as the C library's atoi/atof read it (in the C locale,
//   whatever the user's); an enumerator index that names no item leaves the row as it was.
// - Refusals ("no root", another sensor, a value that is no finite number, and the limits of
//   files/settingsfile.h) change nothing: what the load had prepared while connected
//   (temperature ranges widened, tree handling and live data stopped) is put back, and nothing
//   is sent. A file that is not XML at all, or cannot be read (missing, a folder, a device or
//   pipe, no permission), is followed by writing all properties while connected, as loading
//   has always done; the message names the real cause.
// - Saving checks the name first (a folder, device, pipe or socket is refused before the chart
//   text is made) and replaces only a regular file, durably (see files/settingsfile.h).
// - File names are used as the dialogs give them, whatever their characters.
// - Work that takes longer than half a second (a chart of a million samples) shows a progress
//   dialog; it runs on the GUI thread and the dialog repaints at each report.

#include "window/sensorwindow.h"

#include "files/propertytext.h"
#include "files/settingsfile.h"
#include "parameters/sensorsession.h"
#include "ui_sensorwindow.h"
#include "window/modaldialog.h"
#include "window/sensorwindow_p.h"
#include "window/treerows.h"
#include "window/windowtexts.h"

#include <charttextreader.h>
#include <exportdialog.h>
#include <simpletimechart.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>

#include <optional>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

// The progress of a long file operation: a window-modal dialog without a cancel button that
// appears only when the work promises to last longer than half a second. Its reports process
// events, so the window counts a nested wait meanwhile, and the dialog is on the heap (see
// ModalDialog).
class FileProgressDialog
{
public:
    FileProgressDialog(SensorWindowPrivate *d, QWidget *parent, const QString &label)
        : m_wait(parent, d)
        , m_dialog(new QProgressDialog(label, QString(), 0, 1000, parent))
    {
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(500);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setValue(0); // starts the clock
    }
    ~FileProgressDialog() { delete m_dialog.data(); }

    // Reports of one part of the work, 0 to 1000 within it, placed at [from, to] of the whole.
    FileProgress part(int from, int to)
    {
        return [this, from, to](int permille) { set(from + (to - from) * permille / 1000); };
    }

    Utils::SimpleTimeChart::TextProgress chartPart(int from, int to)
    {
        return [this, from, to](int done, int total) {
            set(from + int(qint64(to - from) * done / qMax(total, 1)));
        };
    }

    // Before any message: reset() also stops the clock that would show the dialog later.
    void close()
    {
        if (!m_dialog)
            return;
        m_dialog->reset();
        m_dialog->hide();
    }

private:
    void set(int value)
    {
        if (m_dialog && value > m_dialog->value())
            m_dialog->setValue(value);
    }

    NestedWait m_wait;
    QPointer<QProgressDialog> m_dialog;
};

QString askSaveFileName(SensorWindowPrivate *d, QWidget *parent, const QString &proposed)
{
    // A dialog object rather than the static function: the same dialog (native where the
    // platform has one), and one that tests can find and answer.
    ModalDialog<QFileDialog> dialog(
        d, parent,
        new QFileDialog(parent, WindowTexts::tr("Save As..."), proposed, QStringLiteral("*.ovs")));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog->selectedFiles().value(0);
}

// Nothing when cancelled; an empty name when the dialog was accepted without a file.
std::optional<QString> askOpenFileName(SensorWindowPrivate *d, QWidget *parent)
{
    ModalDialog<QFileDialog> dialog(d, parent, new QFileDialog(parent));
    dialog->setNameFilter(WindowTexts::tr("Sensor Settings (*.ovs)"));
    dialog->setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog->selectedFiles().value(0);
}

struct RowRange
{
    QString id;
    double minimum;
    double maximum;
};

QVector<RowRange> numberRanges(const ParameterRows &rows)
{
    QVector<RowRange> ranges;
    for (const QString &id : rows.ids()) {
        const ParameterRows::Kind kind = rows.kind(id);
        if (kind == ParameterRows::Kind::Integer || kind == ParameterRows::Kind::Double)
            ranges.append({ id, rows.minimum(id), rows.maximum(id) });
    }
    return ranges;
}

void restoreRanges(ParameterRows &rows, const QVector<RowRange> &ranges)
{
    for (const RowRange &range : ranges) {
        rows.setMinimum(range.id, range.minimum);
        rows.setMaximum(range.id, range.maximum);
    }
}

} // namespace

void SensorWindow::vSaveSettings()
{
    const Sensor &sensor = sensorRecord();
    const QString title = WindowTexts::tr("Saving settings...");
    const QString fileName = askSaveFileName(
        d, this,
        defaultSettingsFileName(QString::fromStdString(sensor.name()), QDate::currentDate()));
    if (fileName.isEmpty())
        return;

    FileProgressDialog progress(d, this, title);
    QString reason;
    bool written = checkSettingsTarget(fileName, &reason);
    if (written) {
        // The chart text is made as the file is written, never held whole.
        const SettingsDocument document
            = settingsDocument(sensor.name(), *d->rows, [this, &progress](const TextPieces &out) {
                  return d->chart->dataToText(out, ";", progress.chartPart(0, 1000));
              });
        written = writeSettingsFile(fileName, document, &reason);
    }
    progress.close();
    if (!written) {
        showMessage(QMessageBox::Critical, title,
                    settingsWriteMessage(QDir::toNativeSeparators(fileName), reason),
                    QMessageBox::Ok);
    }
}

bool SensorWindow::bOpenSettings(const QString &fileName)
{
    QPointer<SensorWindow> alive(this);
    const bool liveDataWasOn = ui->actionEnable_live_data->isChecked();
    bool complete = true;
    QString path = fileName;
    if (path.isEmpty()) {
        const std::optional<QString> chosen = askOpenFileName(d, this);
        if (!chosen)
            return false;
        path = *chosen;
        complete = !path.isEmpty(); // reading a file without a name fails below
    }

    const bool digital = sensorRecord().isDigital();
    const bool connectedAtStart = isConnected();
    QVector<RowRange> rangesBefore;
    if (connectedAtStart) {
        if (showMessage(QMessageBox::Information, WindowTexts::tr("Open Settings"),
                        WindowTexts::tr("Loaded settings will override the current project !"),
                        QMessageBox::Ok | QMessageBox::Cancel)
            != QMessageBox::Ok)
            return false;
        // Loaded temperatures may be in either unit: the rows accept both until written.
        rangesBefore = numberRanges(*d->rows);
        session().io().widenTemperatureRanges();
        enableTreeDataHandling(false);
        if (digital)
            ui->actionEnable_live_data->setChecked(false);
    }

    // Live data as it was before the load, once the sensor has the loaded values.
    const auto resumeLiveData = [this, digital, liveDataWasOn] {
        if (digital && liveDataWasOn) {
            queryAnalogStatusData(0);
            ui->actionEnable_live_data->setChecked(true);
        }
    };
    const QString title = WindowTexts::tr("Opening settings...");

    FileProgressDialog progress(d, this, title);
    // The chart text is read into samples as the file is read, never held whole.
    Utils::ChartTextReader chartReader(";");
    const ChartTextSink chartSink { [&chartReader](std::string_view piece) {
                                       return chartReader.append(piece);
                                   },
                                    [&chartReader] { chartReader.restart(); } };
    SettingsReadResult read
        = readSettingsFile(path, sensorRecord().name(), progress.part(0, 1000), &chartSink);
    if (isUnreadable(read.error)) {
        progress.close();
        showMessage(QMessageBox::Critical, title, settingsMessage(read), QMessageBox::Ok);
        if (!alive)
            return false;
        complete = false;
    } else if (read.error != SettingsError::None) {
        progress.close();
        showMessage(QMessageBox::Critical, title, settingsMessage(read), QMessageBox::Ok);
        if (alive && connectedAtStart) {
            restoreRanges(*d->rows, rangesBefore);
            enableTreeDataHandling(true);
            resumeLiveData();
        }
        return false;
    } else {
        // The rows change from the file's side: no edit goes to the sensor one by one.
        enableTreeDataHandling(false);
        SettingsDocument &document = read.document;
        if (!document.hasPluginSettings) {
            complete = false;
        } else {
            if (document.propertyText)
                applyPropertyText(*d->rows, *document.propertyText);
            else
                complete = false;
            if (document.chartText) {
                // Emptied first: a chart text that does not read leaves no old samples behind.
                d->chart->clear();
                if (chartReader.finish())
                    d->chart->setData(chartReader.takeSamples());
                ui->chartToolbar->setEnabled(true);
            } else {
                complete = false;
            }
        }
        progress.close();
    }

    enableTreeDataHandling(true);
    if (isConnected()) {
        // One write of every row instead of one per loaded value.
        SessionState &state = session().state();
        state.deferValueWrites = false;
        writeAllProperties();
        resumeLiveData();
        state.deferValueWrites = true;
    } else if (d->rows->contains(QStringLiteral("2A"))) {
        const int pin2 = d->rows->enumIndex(QStringLiteral("2A"));
        applyPin2Mode(pin2 != 0);
        if (pin2 == 1) {
            // Toggling the right axis' zoom makes the chart take the new right scale.
            enableTreeDataHandling(false);
            d->chart->setZoomingRightAxes(false);
            d->chart->setZoomingRightAxes(true);
            d->chart->setZoomingRightAxes(false);
            enableTreeDataHandling(true);
        }
    }
    return complete;
}

void SensorWindow::vLoadSettings()
{
    bOpenSettings(QString());
}

void SensorWindow::vExportDocument()
{
    QList<const Utils::ValueOverTime *> series { d->chart->poData() };
    QList<QString> columns { WindowTexts::tr("Time"), WindowTexts::tr("Signal") };
    ModalDialog<Utils::ExportDialog> dialog(
        d, this,
        new Utils::ExportDialog(&series, &columns, this,
                                Qt::WindowTitleHint | Qt::WindowSystemMenuHint));
    dialog->setPrecision(2);
    dialog.exec();
}

} // namespace Core
} // namespace DrumoSensorPlugin
