#include "controls/crv_switch.h"

#include <cmath>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QVariantAnimation>

namespace vantrel {
namespace {

constexpr int iconTransitionMs = 500;

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}

QVariantAnimation* makeProgressAnimation(QWidget* owner) {
    auto* animation = new QVariantAnimation(owner);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    QObject::connect(animation, &QVariantAnimation::valueChanged, owner,
                     [owner](const QVariant&) { owner->update(); });
    QObject::connect(animation, &QAbstractAnimation::finished, owner, [owner] { owner->update(); });
    return animation;
}

qreal progressOf(const QVariantAnimation* animation) {
    return animation->state() != QAbstractAnimation::Stopped ? animation->currentValue().toReal()
                                                             : 1.0;
}

} // namespace

CRVSwitch::CRVSwitch(QWidget* parent)
    : CRVSwitch(defaultFrameSize, parent) {}

CRVSwitch::CRVSwitch(QSize frameSize, QWidget* parent)
    : QWidget(parent)
    , m_layerAnimation(makeProgressAnimation(this))
    , m_iconAnimation(makeProgressAnimation(this)) {
    m_iconAnimation->setDuration(iconTransitionMs);
    setAttribute(Qt::WA_Hover, false);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    resize(frameSize.grownBy(shadowMargins));
    setEnabled(true);
    setupLayers();
    layoutLayers();
    layoutIcon();
    updateLayers(true);
}

CRVSwitch::~CRVSwitch() = default;

QSize CRVSwitch::sizeHint() const {
    return size();
}

void CRVSwitch::setTintColor(const QColor& color) {
    m_tintColor = color;
    updateLayers(true);
}

void CRVSwitch::setKnobBackgroundColor(const QColor& color) {
    m_knobBackgroundColor = color;
    updateLayers(true);
}

QColor CRVSwitch::disabledBorderColor() const {
    if (m_disabledBorderColor)
        return *m_disabledBorderColor;
    return isDark(palette()) ? QColor::fromRgbF(1.0f, 1.0f, 1.0f, 0.2f)
                             : QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.2f);
}

void CRVSwitch::setDisabledBorderColor(const QColor& color) {
    m_disabledBorderColor = color;
    updateLayers(true);
}

void CRVSwitch::setDisabledBackgroundColor(const QColor& color) {
    m_disabledBackgroundColor = color;
    updateLayers(true);
}

void CRVSwitch::setInactiveBackgroundColor(const QColor& color) {
    m_inactiveBackgroundColor = color;
    updateLayers(true);
}

void CRVSwitch::setInactiveIcon(const QPixmap& icon) {
    m_inactiveIcon = icon;
    // A switch made in code gets its icons after creation; place the icon once it has one.
    if (m_layers.icon.frame.isEmpty())
        layoutIcon();
    updateLayers(true);
}

void CRVSwitch::setActiveIcon(const QPixmap& icon) {
    m_activeIcon = icon;
    updateLayers(true);
}

void CRVSwitch::setIgnoreRatio(bool ignoreRatio) {
    m_ignoreRatio = ignoreRatio;
    updateLayers(true);
}

qreal CRVSwitch::kBorderLineWidth() {
    if (!m_borderLineWidth)
        m_borderLineWidth = trackRect().height() * 2.0 / 31.0;
    return *m_borderLineWidth;
}

void CRVSwitch::setOn(bool on, bool animated) {
    if (on == m_isOn)
        return;
    m_isOn = on;
    updateLayers(animated);
}

QEasingCurve CRVSwitch::dragTimingCurve() {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.25, 1.5), QPointF(0.5, 1.0), QPointF(1.0, 1.0));
    return curve;
}

QEasingCurve CRVSwitch::defaultTimingCurve() {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.25, 0.1), QPointF(0.25, 1.0), QPointF(1.0, 1.0));
    return curve;
}

SwitchLayers CRVSwitch::presentedLayers() const {
    if (m_layerAnimation->state() == QAbstractAnimation::Stopped)
        return m_layers;
    return interpolateLayers(m_animationStart, m_layers, m_layerAnimation->currentValue().toReal());
}

void CRVSwitch::setupLayers() {
    const QSizeF track = trackRect().size();
    m_layers.track.frame = QRectF(QPointF(0, 0), track);
    m_layers.track.borderWidth = kBorderLineWidth();
    m_layers.track.border = disabledBorderColor();
    m_layers.track.fill = m_disabledBackgroundColor;

    m_layers.knob.frame = knobFrame();
    m_layers.knob.fill = m_knobBackgroundColor;
    m_layers.knob.shadow = {Qt::black, QPointF(0.0, 6.5), 2.5, 0.15};

    m_layers.face.frame = QRectF(QPointF(0, 0), m_layers.knob.frame.size());
    m_layers.face.fill = Qt::white;
    m_layers.face.shadow = {Qt::black, QPointF(0.0, 0.0), 1.0, 0.35};

    m_layers.icon = {};
    m_layersBuilt = true;
    layoutLayers();
    updateLayers(true);
}

void CRVSwitch::layoutLayers() {
    if (!m_layersBuilt)
        return;
    // A resize is not animated: stop wherever the last update was going.
    m_layerAnimation->stop();
    m_layers.track.frame = QRectF(QPointF(0, 0), QSizeF(trackRect().size()));
    m_layers.knob.frame = knobFrame();
    m_layers.face.frame = QRectF(QPointF(0, 0), m_layers.knob.frame.size());
    m_layers.track.cornerRadius = m_layers.track.frame.height() / 2;
    m_layers.knob.cornerRadius = m_layers.knob.frame.height() / 2;
    m_layers.face.cornerRadius = m_layers.knob.frame.height() / 2;
    update();
}

void CRVSwitch::updateLayers(bool animated) {
    if (!m_layersBuilt)
        return;
    const SwitchLayers start = presentedLayers();

    if (shownOn()) {
        m_layers.track.border = m_tintColor;
        m_layers.track.fill = m_tintColor;
    } else {
        m_layers.track.border = disabledBorderColor();
        m_layers.track.fill = m_disabledBackgroundColor;
    }
    m_layers.knob.fill = m_knobBackgroundColor;
    m_layers.knob.shadow.color = isEnabled() ? QColor(Qt::black) : QColor(Qt::transparent);
    m_layers.opacity = isEnabled() ? kEnabledOpacity : kDisabledOpacity;
    m_layers.knob.frame = knobFrame();
    m_layers.face.frame = QRectF(QPointF(0, 0), m_layers.knob.frame.size());

    m_layerAnimation->stop();
    const int durationMs =
        animated ? static_cast<int>(std::lround(m_animationDuration * 1000.0)) : 0;
    if (durationMs > 0) {
        m_animationStart = start;
        m_layerAnimation->setDuration(durationMs);
        m_layerAnimation->setEasingCurve(m_hasDragged ? dragTimingCurve() : defaultTimingCurve());
        m_layerAnimation->start();
    }
    update();
    updateIcon();
}

QRectF CRVSwitch::knobFrame() {
    return switchKnobFrame(m_layers.track.frame.size(), kBorderLineWidth(), m_ignoreRatio,
                           m_isActive, shownOn(), kGoldenRatio, kDecreasedGoldenRatio);
}

void CRVSwitch::layoutIcon() {
    if (m_inactiveIcon.isNull() || !m_layersBuilt)
        return;
    const QSizeF icon = m_inactiveIcon.deviceIndependentSize();
    const QSizeF knob = m_layers.knob.frame.size();
    m_layers.icon.frame = QRectF(
        QPointF((knob.width() - icon.width()) * 0.5, (knob.height() - icon.height()) * 0.5), icon);
    m_layers.icon.contents = m_inactiveIcon;
}

void CRVSwitch::updateIcon() {
    // The icon follows the value, not the half under a dragging pointer.
    const QPixmap& target = m_isOn ? m_activeIcon : m_inactiveIcon;
    if (target.cacheKey() == m_layers.icon.contents.cacheKey() &&
        target.isNull() == m_layers.icon.contents.isNull())
        return;
    m_fadingIcon = m_layers.icon.contents;
    m_layers.icon.contents = target;
    m_iconAnimation->stop();
    m_iconAnimation->start();
}

void CRVSwitch::paintEvent(QPaintEvent*) {
    const SwitchLayers shown = presentedLayers();
    const qreal ratio = devicePixelRatioF();
    const QPoint origin = trackRect().topLeft();
    const qreal iconProgress = progressOf(m_iconAnimation);

    QPainter painter(this);
    if (shown.opacity >= 1.0) {
        painter.translate(origin);
        m_painter.paint(painter, shown, m_fadingIcon, iconProgress, ratio);
    } else {
        // The switch fades as one piece, so the track does not show through the knob.
        QImage group(size() * ratio, QImage::Format_ARGB32_Premultiplied);
        group.setDevicePixelRatio(ratio);
        group.fill(Qt::transparent);
        {
            QPainter groupPainter(&group);
            groupPainter.translate(origin);
            m_painter.paint(groupPainter, shown, m_fadingIcon, iconProgress, ratio);
        }
        painter.setOpacity(std::max(shown.opacity, 0.0));
        painter.drawImage(QPointF(0, 0), group);
        painter.setOpacity(1.0);
    }

    if (m_keyboardFocus) {
        painter.translate(origin);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor ring = palette().color(QPalette::Highlight);
        ring.setAlphaF(0.6f);
        const QRectF track = shown.track.frame.adjusted(-1.5, -1.5, 1.5, 1.5);
        const qreal radius = track.height() / 2;
        painter.setPen(QPen(ring, 3.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(track, radius, radius);
    }
}

void CRVSwitch::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    if (!acceptsInput())
        return;
    m_isActive = true;
    updateLayers(true);
}

void CRVSwitch::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        event->ignore();
        return;
    }
    // Only every fourth drag event is acted on: a drag costs one update per four events.
    ++m_dragEvents;
    if (m_dragEvents < 4)
        return;
    m_dragEvents = 0;
    if (!acceptsInput())
        return;
    m_hasDragged = true;
    const qreal x = event->position().x() - trackRect().left();
    m_isDraggingTowardsOn = x > trackRect().width() / 2.0;
    updateLayers(true);
}

void CRVSwitch::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_dragEvents = 0;
    if (!acceptsInput())
        return;
    m_isActive = false;
    commitUserValue(m_hasDragged ? m_isDraggingTowardsOn : !m_isOn);
}

void CRVSwitch::keyPressEvent(QKeyEvent* event) {
    // Space flips a focused switch, as it presses a focused button.
    if (event->key() != Qt::Key_Space || event->isAutoRepeat() || m_isActive) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (acceptsInput())
        commitUserValue(!m_isOn);
}

void CRVSwitch::commitUserValue(bool newValue) {
    const bool changed = newValue != m_isOn;
    m_isOn = newValue;
    // Receivers read isOn, so the value is stored before they hear of it.
    if (changed)
        Q_EMIT action(this);
    m_hasDragged = false;
    m_isDraggingTowardsOn = false;
    updateLayers(true);
}

void CRVSwitch::focusInEvent(QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    m_keyboardFocus = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    update();
    QWidget::focusInEvent(event);
}

void CRVSwitch::focusOutEvent(QFocusEvent* event) {
    m_keyboardFocus = false;
    update();
    QWidget::focusOutEvent(event);
}

void CRVSwitch::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutLayers();
}

void CRVSwitch::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        updateLayers(true);
    else if (event->type() == QEvent::PaletteChange && !m_disabledBorderColor)
        updateLayers(false);
}

} // namespace vantrel
