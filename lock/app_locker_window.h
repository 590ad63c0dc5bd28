#pragma once

#include <optional>
#include <QRect>
#include <QRectF>
#include <QWidget>

namespace vantrel {

// Qt geometry (top-left origin, in the virtual desktop) for a lock frame (bottom-left origin on
// the main screen). Without a main screen the frame is taken as it is.
QRect windowGeometryForLockFrame(const QRectF& lockFrame, const std::optional<QRectF>& mainScreen);

// The borderless window that stands over a locked application, above ordinary windows. It takes
// the keyboard and cannot be closed by the window manager: only an unlock or a hide ends a lock.
class AppLockerWindow final : public QWidget {
    Q_OBJECT

public:
    explicit AppLockerWindow(QWidget* parent = nullptr);

    // The lock content, which fills the window.
    void setContentView(QWidget* content);
    QWidget* contentView() const { return m_content; }

    // Moves the window over a lock frame and repaints it at once. The one place where lock frames
    // turn into window geometry.
    void setFrame(const QRectF& lockFrame);

    // Orders the window out. Closes asked for by anyone else (the window manager) are refused.
    void closeWindow();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* m_content = nullptr;
    bool m_closing = false;
};

} // namespace vantrel
