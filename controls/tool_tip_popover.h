#pragma once

#include "controls/soft_shadow.h"
#include "controls/tool_tip_placement.h"

#include <QPointer>
#include <QWidget>

class QObject;

namespace vantrel {

// The bubble a help tooltip is shown in: a small frameless window whose arrow points at the view
// it belongs to. Transient, it closes when the user clicks anywhere outside it (or presses
// Escape); otherwise it stays until it is closed.
class ToolTipPopover : public QWidget {
    Q_OBJECT

public:
    enum class Behavior { ApplicationDefined, Transient };

    explicit ToolTipPopover(QWidget* parent = nullptr);

    // The controller whose view is shown; the view itself is set with setContentView.
    QObject* contentViewController() const { return m_contentViewController; }
    void setContentViewController(QObject* controller) { m_contentViewController = controller; }
    // Takes the view into the bubble, replacing (and deleting) the one before.
    void setContentView(QWidget* view);
    QWidget* contentView() const { return m_contentView; }

    QSize contentSize() const { return m_contentSize; }
    void setContentSize(QSize size) { m_contentSize = size; }
    Behavior behavior() const { return m_behavior; }
    void setBehavior(Behavior behavior);
    bool animates() const { return m_animates; }
    void setAnimates(bool animates) { m_animates = animates; }

    // Opens (or moves) the bubble next to `rect` of `view`, on `preferredEdge` when there is room.
    void showRelativeTo(const QRect& rect, QWidget* view, RectEdge preferredEdge);
    bool isShown() const { return isVisible(); }
    // Where the bubble went the last time it was shown, in screen coordinates.
    const ToolTipPlacement& placement() const { return m_placement; }
    QWidget* anchorView() const { return m_anchorView; }

Q_SIGNALS:
    // The bubble has closed, however.
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QPainterPath bubblePath() const;

    QPointer<QObject> m_contentViewController;
    QPointer<QWidget> m_contentView;
    QPointer<QWidget> m_anchorView;
    QSize m_contentSize;
    Behavior m_behavior = Behavior::ApplicationDefined;
    bool m_animates = true;
    ToolTipPlacement m_placement;
    SoftShadow m_shadow;
    QSize m_shadowFor;
};

} // namespace vantrel
