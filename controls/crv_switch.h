#pragma once

#include "controls/switch_layers.h"
#include "controls/switch_painter.h"

#include <optional>
#include <QColor>
#include <QEasingCurve>
#include <QMargins>
#include <QPixmap>
#include <QWidget>

class QVariantAnimation;

namespace vantrel {

// The program's on/off switch: a rounded track with a knob that slides from the left (off) to the
// right (on). A click anywhere toggles it; a drag moves the knob to the half under the pointer.
// Every change is animated, and `action` is emitted when, and only when, the user changed the
// value. Code sets the value with setOn, which never emits. A disabled switch is drawn at half
// opacity without the knob's shadow and ignores the mouse; lockInteraction ignores the mouse
// without changing the look.
//
// The widget is the track plus a margin (shadowMargins) into which the knob's shadow and the
// focus ring may spill; the switch is as large as it was made (frameSize), like a control laid
// out in an interface file.
class CRVSwitch : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor tintColor READ tintColor WRITE setTintColor)
    Q_PROPERTY(QColor knobBackgroundColor READ knobBackgroundColor WRITE setKnobBackgroundColor)
    Q_PROPERTY(QColor disabledBorderColor READ disabledBorderColor WRITE setDisabledBorderColor)
    Q_PROPERTY(QColor disabledBackgroundColor READ disabledBackgroundColor WRITE
                   setDisabledBackgroundColor)
    Q_PROPERTY(QColor inactiveBackgroundColor READ inactiveBackgroundColor WRITE
                   setInactiveBackgroundColor)
    Q_PROPERTY(double animationDuration READ animationDuration WRITE setAnimationDuration)
    Q_PROPERTY(QPixmap inactiveIcon READ inactiveIcon WRITE setInactiveIcon)
    Q_PROPERTY(QPixmap activeIcon READ activeIcon WRITE setActiveIcon)
    Q_PROPERTY(bool ignoreRatio READ ignoreRatio WRITE setIgnoreRatio)

public:
    static constexpr QSize defaultFrameSize{42, 25};
    static constexpr QMargins shadowMargins{4, 4, 4, 10};

    static constexpr qreal kGoldenRatio = 1.6180339875;
    static constexpr qreal kDecreasedGoldenRatio = 1.38;
    static constexpr float kEnabledOpacity = 1.0f;
    static constexpr float kDisabledOpacity = 0.5f;

    explicit CRVSwitch(QWidget* parent = nullptr);
    // A switch whose track is `frameSize`; the border width follows from its height.
    explicit CRVSwitch(QSize frameSize, QWidget* parent = nullptr);
    ~CRVSwitch() override;

    QColor tintColor() const { return m_tintColor; }
    void setTintColor(const QColor& color);
    QColor knobBackgroundColor() const { return m_knobBackgroundColor; }
    void setKnobBackgroundColor(const QColor& color);
    // Unless set, the off track's border follows the palette: dark on light, light on dark.
    QColor disabledBorderColor() const;
    void setDisabledBorderColor(const QColor& color);
    QColor disabledBackgroundColor() const { return m_disabledBackgroundColor; }
    void setDisabledBackgroundColor(const QColor& color);
    // Kept for the interface file; the off track is drawn with the two colours above.
    QColor inactiveBackgroundColor() const { return m_inactiveBackgroundColor; }
    void setInactiveBackgroundColor(const QColor& color);
    // Seconds.
    double animationDuration() const { return m_animationDuration; }
    void setAnimationDuration(double seconds) { m_animationDuration = seconds; }
    QPixmap inactiveIcon() const { return m_inactiveIcon; }
    void setInactiveIcon(const QPixmap& icon);
    QPixmap activeIcon() const { return m_activeIcon; }
    void setActiveIcon(const QPixmap& icon);
    bool ignoreRatio() const { return m_ignoreRatio; }
    void setIgnoreRatio(bool ignoreRatio);

    // Fixed on first use from the track's height at that time (2/31 of it), then never again.
    qreal kBorderLineWidth();

    bool isOn() const { return m_isOn; }
    // Changes the value from code; never emits `action`. Nothing happens when it is already `on`.
    void setOn(bool on, bool animated);

    bool lockInteraction() const { return m_lockInteraction; }
    void setLockInteraction(bool locked) { m_lockInteraction = locked; }

    // The press in progress.
    bool isActive() const { return m_isActive; }
    bool hasDragged() const { return m_hasDragged; }
    bool isDraggingTowardsOn() const { return m_isDraggingTowardsOn; }
    int dragEvents() const { return m_dragEvents; }
    // What the drawing shows: the half under the pointer while dragging, otherwise the value.
    bool shownOn() const { return m_hasDragged ? m_isDraggingTowardsOn : m_isOn; }

    // Where the layers are going (the end of any running animation) and where they are now.
    const SwitchLayers& layers() const { return m_layers; }
    SwitchLayers presentedLayers() const;
    // The animation of the last update; stopped when nothing moves.
    QVariantAnimation* layerAnimation() const { return m_layerAnimation; }
    QVariantAnimation* iconAnimation() const { return m_iconAnimation; }
    // The track within the widget.
    QRect trackRect() const { return rect().marginsRemoved(shadowMargins); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // The settling curve of a drag: it overshoots and comes back.
    static QEasingCurve dragTimingCurve();
    // The curve of every other update.
    static QEasingCurve defaultTimingCurve();

Q_SIGNALS:
    // The user changed the value; isOn already holds the new one.
    void action(vantrel::CRVSwitch* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool acceptsInput() const { return isEnabled() && !m_lockInteraction; }
    void commitUserValue(bool newValue);
    void setupLayers();
    void layoutLayers();
    void updateLayers(bool animated);
    QRectF knobFrame();
    void layoutIcon();
    void updateIcon();

    QColor m_tintColor = QColor::fromRgbF(0.27f, 0.86f, 0.36f, 1.0f);
    QColor m_knobBackgroundColor = QColor::fromRgbF(1.0f, 1.0f, 1.0f, 1.0f);
    std::optional<QColor> m_disabledBorderColor;
    QColor m_disabledBackgroundColor = Qt::transparent;
    QColor m_inactiveBackgroundColor = QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.3f);
    double m_animationDuration = 0.4;
    QPixmap m_inactiveIcon;
    QPixmap m_activeIcon;
    bool m_ignoreRatio = true;
    std::optional<qreal> m_borderLineWidth;
    int m_dragEvents = 0;
    bool m_isOn = false;
    bool m_isActive = false;
    bool m_hasDragged = false;
    bool m_isDraggingTowardsOn = false;
    bool m_lockInteraction = false;
    bool m_keyboardFocus = false;

    bool m_layersBuilt = false;
    SwitchLayers m_layers;
    SwitchLayers m_animationStart;
    QPixmap m_fadingIcon;
    QVariantAnimation* m_layerAnimation;
    QVariantAnimation* m_iconAnimation;
    SwitchPainter m_painter;
};

} // namespace vantrel
