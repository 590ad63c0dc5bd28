#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

namespace vantrel {

// Where a popover of this size goes for an icon at anchor: centred under it, or over it when the
// tray sits at the bottom and there is no room below, and always kept inside the screen area.
QPoint popoverPosition(const QRect& anchor, const QSize& size, const QRect& available);

// The frameless popup that hangs from the status item. Transient: a click outside closes it.
// The content is only borrowed: shared controllers outlive any one popover.
class MenuPopover final : public QWidget {
    Q_OBJECT

public:
    explicit MenuPopover(QWidget* parent = nullptr);
    ~MenuPopover() override;

    void setContent(QWidget* content);
    QWidget* content() const { return m_content; }

    bool isShown() const { return isVisible(); }
    // Opens next to the icon's area, in global coordinates, without animation.
    void showRelativeTo(const QRect& anchor);

private:
    QPointer<QWidget> m_content;
};

} // namespace vantrel
