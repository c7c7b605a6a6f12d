#pragma once

#include "window/transactions.h"

#include <QPointer>
#include <QWidget>

#include <initializer_list>

namespace DrumoSensorPlugin {
namespace Core {

// Holds back the painting of a window's busy views (the parameter tree, the chart) while a
// sequence of transactions runs: each answer changes rows, and drawing them while the next
// request was paced delayed its characters. The views repaint once when the outermost hold
// ends, however the sequence ends (an error, a closed window, an unplugged port); a modal dialog
// opened meanwhile shows them as they stand (ModalDialog lets them paint while it is open). The
// progress dialog is a window of its own and paints throughout.
class PaintHold
{
public:
    PaintHold(QObject *window, WindowWaits *waits, std::initializer_list<QWidget *> views)
        : m_window(window)
        , m_waits(waits)
    {
        if (m_waits->paintHolds++ > 0)
            return;
        for (QWidget *view : views) {
            if (view && view->updatesEnabled())
                m_waits->heldViews.append(view);
        }
        setHeldViewsPainting(m_waits, false);
    }
    ~PaintHold()
    {
        // A window that went took its views and its waits with it.
        if (!m_window || --m_waits->paintHolds > 0)
            return;
        setHeldViewsPainting(m_waits, true);
        m_waits->heldViews.clear();
    }
    PaintHold(const PaintHold &) = delete;
    PaintHold &operator=(const PaintHold &) = delete;

    static void setHeldViewsPainting(WindowWaits *waits, bool on)
    {
        for (const QPointer<QWidget> &view : waits->heldViews) {
            if (view)
                view->setUpdatesEnabled(on);
        }
    }

private:
    QPointer<QObject> m_window;
    WindowWaits *m_waits; // only used while m_window lives
};

} // namespace Core
} // namespace DrumoSensorPlugin
