#pragma once

// Sends mouse events straight to a plot canvas, so that drags do not depend on the cursor
// position of the (offscreen) platform.

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace CanvasMouse {

inline void send(QWidget *canvas, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
                 Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, pos, canvas->mapToGlobal(pos), button, buttons, modifiers);
    QApplication::sendEvent(canvas, &event);
}

inline void drag(QWidget *canvas, const QPoint &from, const QPoint &to,
                 Qt::MouseButton button = Qt::LeftButton)
{
    send(canvas, QEvent::MouseButtonPress, from, button, button);
    const QPoint middle = (from + to) / 2;
    send(canvas, QEvent::MouseMove, middle, Qt::NoButton, button);
    send(canvas, QEvent::MouseMove, to, Qt::NoButton, button);
    send(canvas, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

} // namespace CanvasMouse
