#pragma once

#include "app/popover_placement.h"

#include <QPointer>
#include <QWidget>

namespace vantrel {

// The popover of the status item: a frameless popup window that shows one content widget on a
// rounded card with an arrow towards the tray icon. It opens without animation and is transient:
// a click outside it, or Escape, closes it.
class MenuPopover : public QWidget {
    Q_OBJECT

public:
    // How the card's rounded edge is made: blended with the desktop where the desktop composites
    // windows, otherwise cut out with a shape mask (crisp, no shadow).
    enum class Backdrop { automatic, translucent, masked };

    explicit MenuPopover(Backdrop backdrop = Backdrop::automatic);
    ~MenuPopover() override;

    // The widget shown in the card; the popover sizes itself after it. The content is only
    // borrowed: it is handed back (unparented) when replaced or when the popover goes.
    void setContent(QWidget* content);
    QWidget* content() const { return m_content; }

    bool isShown() const { return isVisible(); }

    // Opens against the tray icon at `iconGeometry` (screen coordinates; empty while the panel has
    // not placed the icon yet) on the screen the icon is on.
    void showRelativeTo(const QRect& iconGeometry);
    // Closes the popover; nothing happens when it is closed already.
    void performClose();

    // Sizes and places the popover for an icon on a screen of these geometries, without showing.
    void placeAgainst(const QRect& iconGeometry, const QRect& screenGeometry,
                      const QRect& availableGeometry);

    ArrowEdge arrowEdge() const { return m_arrowEdge; }
    bool isTranslucent() const { return m_translucent; }
    // The card, arrow included, in the popover's coordinates.
    QRect cardRect() const;

Q_SIGNALS:
    void didClose();

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QPainterPath cardPath() const;
    int shadowMargin() const;

    QPointer<QWidget> m_content;
    bool m_translucent = false;
    ArrowEdge m_arrowEdge = ArrowEdge::none;
    int m_arrowCenter = 0;
};

} // namespace vantrel
