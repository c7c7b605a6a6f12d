#include "window/settingsfileactions.h"

#include "files/propertytext.h"
#include "files/settingsfile.h"
#include "model/parameterrows.h"
#include "parameters/parametertable.h"
#include "parameters/sensorsession.h"
#include "parameters/sessionevents.h"
#include "window/chartpresenter.h"
#include "window/connectcontroller.h"
#include "window/modaldialog.h"
#include "window/treehandling.h"
#include "window/windowtexts.h"

#include <charttextreader.h>
#include <exportdialog.h>
#include <simpletimechart.h>

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QToolBar>

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
    FileProgressDialog(WindowWaits *waits, QWidget *parent, const QString &label)
        : m_wait(parent, waits)
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

QString askSaveFileName(WindowWaits *waits, QWidget *parent, const QString &proposed)
{
    // A dialog object rather than the static function: the same dialog (native where the
    // platform has one), and one that tests can find and answer.
    ModalDialog<QFileDialog> dialog(
        waits, parent,
        new QFileDialog(parent, WindowTexts::tr("Save As..."), proposed, QStringLiteral("*.ovs")));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog->selectedFiles().value(0);
}

// Nothing when cancelled; an empty name when the dialog was accepted without a file.
std::optional<QString> askOpenFileName(WindowWaits *waits, QWidget *parent)
{
    ModalDialog<QFileDialog> dialog(waits, parent, new QFileDialog(parent));
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

// What a load prepared, and what it found.
struct SettingsFileActions::Load
{
    QString path;
    bool complete = true;
    bool digital = false;
    bool liveDataWasOn = false;
    bool connectedAtStart = false;
    QVector<RowRange> rangesBefore;
};

SettingsFileActions::SettingsFileActions(SensorSession &session, ParameterRows &rows,
                                         TreeHandling &treeHandling, ChartPresenter &chart,
                                         ConnectController &connector, ConnectView &questions,
                                         const Parts &parts)
    : m_session(session)
    , m_rows(rows)
    , m_treeHandling(treeHandling)
    , m_chart(chart)
    , m_connector(connector)
    , m_questions(questions)
    , m_parts(parts)
{
}

void SettingsFileActions::save()
{
    const Sensor &sensor = m_session.sensor();
    const QString title = WindowTexts::tr("Saving settings...");
    const QString fileName = askSaveFileName(
        m_parts.waits, m_parts.window,
        defaultSettingsFileName(QString::fromStdString(sensor.name()), QDate::currentDate()));
    if (fileName.isEmpty())
        return;

    FileProgressDialog progress(m_parts.waits, m_parts.window, title);
    QString reason;
    bool written = checkSettingsTarget(fileName, &reason);
    if (written) {
        // The chart text is made as the file is written, never held whole.
        const SettingsDocument document
            = settingsDocument(sensor.name(), m_rows, [this, &progress](const TextPieces &out) {
                  return m_chart.chart()->dataToText(out, ";", progress.chartPart(0, 1000));
              });
        written = writeSettingsFile(fileName, document, &reason);
    }
    progress.close();
    if (!written) {
        m_questions.showMessage(QMessageBox::Critical, title,
                                settingsWriteMessage(QDir::toNativeSeparators(fileName), reason),
                                QMessageBox::Ok);
    }
}

bool SettingsFileActions::open(const QString &fileName)
{
    QPointer<QWidget> alive(m_parts.window);
    Load load;
    load.liveDataWasOn = m_parts.liveData->isChecked();
    const std::optional<QString> path = chooseFile(fileName, &load.complete);
    if (!path)
        return false;
    load.path = *path;
    load.digital = m_session.sensor().isDigital();
    load.connectedAtStart = m_session.state().connected;
    if (load.connectedAtStart) {
        if (m_questions.showMessage(
                QMessageBox::Information, WindowTexts::tr("Open Settings"),
                WindowTexts::tr("Loaded settings will override the current project !"),
                QMessageBox::Ok | QMessageBox::Cancel)
            != QMessageBox::Ok)
            return false;
        // Loaded temperatures may be in either unit: the rows accept both until written.
        load.rangesBefore = numberRanges(m_rows);
        m_session.io().widenTemperatureRanges();
        m_treeHandling.setOn(false);
        if (load.digital)
            m_parts.liveData->setChecked(false);
    }
    if (!applyDocument(load))
        return false;
    finishLoad(load);
    return load.complete;
}

// Nothing when cancelled; a name given is taken as it is.
std::optional<QString> SettingsFileActions::chooseFile(const QString &fileName, bool *complete)
{
    if (!fileName.isEmpty())
        return fileName;
    const std::optional<QString> chosen = askOpenFileName(m_parts.waits, m_parts.window);
    if (chosen && chosen->isEmpty())
        *complete = false; // reading a file without a name fails below
    return chosen;
}

// The file's rows and chart, with tree handling off; false when the load ends here (a refusal,
// or the window went).
bool SettingsFileActions::applyDocument(Load &load)
{
    QPointer<QWidget> alive(m_parts.window);
    const QString title = WindowTexts::tr("Opening settings...");
    FileProgressDialog progress(m_parts.waits, m_parts.window, title);
    // The chart text is read into samples as the file is read, never held whole.
    Utils::ChartTextReader chartReader(";");
    const ChartTextSink chartSink { [&chartReader](std::string_view piece) {
                                       return chartReader.append(piece);
                                   },
                                    [&chartReader] { chartReader.restart(); } };
    SettingsReadResult read = readSettingsFile(load.path, m_session.sensor().name(),
                                               progress.part(0, 1000), &chartSink);
    if (isUnreadable(read.error)) {
        progress.close();
        m_questions.showMessage(QMessageBox::Critical, title, settingsMessage(read),
                                QMessageBox::Ok);
        load.complete = false;
        return bool(alive);
    }
    if (read.error != SettingsError::None) {
        progress.close();
        m_questions.showMessage(QMessageBox::Critical, title, settingsMessage(read),
                                QMessageBox::Ok);
        if (alive && load.connectedAtStart) {
            restoreRanges(m_rows, load.rangesBefore);
            m_treeHandling.setOn(true);
            resumeLiveData(load);
        }
        return false;
    }
    // The rows change from the file's side: no edit goes to the sensor one by one.
    m_treeHandling.setOn(false);
    SettingsDocument &document = read.document;
    if (!document.hasPluginSettings) {
        load.complete = false;
    } else {
        if (document.propertyText)
            applyPropertyText(m_rows, *document.propertyText);
        else
            load.complete = false;
        if (document.chartText) {
            // Emptied first: a chart text that does not read leaves no old samples behind.
            m_chart.chart()->clear();
            if (chartReader.finish())
                m_chart.chart()->setData(chartReader.takeSamples());
            m_parts.chartToolbar->setEnabled(true);
        } else {
            load.complete = false;
        }
    }
    progress.close();
    return true;
}

// While connected, one write of every row instead of one per loaded value; without a sensor
// the window shows pin 2's function as loaded.
void SettingsFileActions::finishLoad(Load &load)
{
    m_treeHandling.setOn(true);
    if (m_session.state().connected) {
        SessionState &state = m_session.state();
        state.deferValueWrites = false;
        m_connector.writeAll();
        resumeLiveData(load);
        state.deferValueWrites = true;
    } else if (m_rows.contains(parameterWith(Pin2Layout).rowId())) {
        const int pin2 = m_rows.enumIndex(parameterWith(Pin2Layout).rowId());
        emit m_session.events().pin2ModeRead(pin2 != 0);
        if (pin2 == 1) {
            // Toggling the right axis' zoom makes the chart take the new right scale.
            TreeHandlingGuard quiet(m_treeHandling);
            m_chart.toggleRightAxisZoom();
        }
    }
}

// Live data as it was before the load, once the sensor has the loaded values.
void SettingsFileActions::resumeLiveData(const Load &load)
{
    if (load.digital && load.liveDataWasOn) {
        m_session.poller().poll();
        m_parts.liveData->setChecked(true);
    }
}

void SettingsFileActions::exportChart()
{
    QList<const Utils::ValueOverTime *> series { m_chart.chart()->poData() };
    QList<QString> columns { WindowTexts::tr("Time"), WindowTexts::tr("Signal") };
    ModalDialog<Utils::ExportDialog> dialog(
        m_parts.waits, m_parts.window,
        new Utils::ExportDialog(&series, &columns, m_parts.window,
                                Qt::WindowTitleHint | Qt::WindowSystemMenuHint));
    dialog->setPrecision(2);
    dialog.exec();
}

} // namespace Core
} // namespace DrumoSensorPlugin
