#pragma once

#include <QString>

#include <optional>

class QAction;
class QToolBar;
class QWidget;

namespace DrumoSensorPlugin {
namespace Core {

class ChartPresenter;
class ConnectController;
class ConnectView;
class ParameterRows;
class SensorSession;
struct WindowWaits;
class TreeHandling;

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
class SettingsFileActions
{
public:
    struct Parts
    {
        WindowWaits *waits = nullptr; // the window's waits, for its dialogs
        QWidget *window = nullptr;
        QAction *liveData = nullptr;
        QToolBar *chartToolbar = nullptr;
    };

    SettingsFileActions(SensorSession &session, ParameterRows &rows, TreeHandling &treeHandling,
                        ChartPresenter &chart, ConnectController &connector, ConnectView &questions,
                        const Parts &parts);

    void save();
    // Loads `fileName` (asks for one when empty); true when the file was complete and applied.
    bool open(const QString &fileName);
    void exportChart();

private:
    struct Load;

    std::optional<QString> chooseFile(const QString &fileName, bool *complete);
    bool applyDocument(Load &load);
    void finishLoad(Load &load);
    void resumeLiveData(const Load &load);

    SensorSession &m_session;
    ParameterRows &m_rows;
    TreeHandling &m_treeHandling;
    ChartPresenter &m_chart;
    ConnectController &m_connector;
    ConnectView &m_questions;
    Parts m_parts;
};

} // namespace Core
} // namespace DrumoSensorPlugin
