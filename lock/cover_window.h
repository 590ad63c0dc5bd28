#pragma once

#include "platform/window_list.h"

#include <QIcon>
#include <QWidget>

namespace vantrel {

// A plain opaque window of ours over a locked application's window that the lock window does not
// stand over. It has no prompt: a click on it brings the lock there. Like the lock window it
// bypasses the window manager, which can therefore neither move, hide nor close it.
class CoverWindow final : public QWidget {
    Q_OBJECT

public:
    explicit CoverWindow(QWidget* parent = nullptr);

    const WindowOwner& owner() const { return m_owner; }
    quint64 hiddenWindow() const { return m_hiddenWindow; }
    // The application whose window it hides, shown in its middle, and that window.
    void setOwner(const WindowOwner& owner, quint64 window, const QIcon& icon, const QString& name);

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    WindowOwner m_owner;
    quint64 m_hiddenWindow = 0;
    QIcon m_icon;
    QString m_name;
};

// Window flags of the lock window and the covers: above everything, outside the window manager.
Qt::WindowFlags lockSurfaceFlags();

// Hands the lock window or a cover, its native window made, to the desktop: filled with the
// backdrop the moment it maps, or shown on a surface of the desktop's own (true), there with the
// keyboard to itself when takesKeyboard.
bool adoptLockSurface(QWidget* surface, bool takesKeyboard);

} // namespace vantrel
