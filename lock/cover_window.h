#pragma once

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

    qint64 ownerProcess() const { return m_ownerProcess; }
    quint64 hiddenWindow() const { return m_hiddenWindow; }
    // The application whose window it hides, shown in its middle, and that window.
    void setOwner(qint64 process, quint64 window, const QIcon& icon, const QString& name);

Q_SIGNALS:
    void clicked(qint64 ownerProcess, quint64 hiddenWindow);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    qint64 m_ownerProcess = 0;
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
