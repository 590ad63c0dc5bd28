#include "screens/preferences_tab_bar.h"

#include <cmath>
#include <numbers>
#include <QPainter>
#include <QPainterPath>

namespace vantrel {
namespace {

constexpr int stripHeight = 58;
constexpr int itemWidth = 76;
constexpr int glyphSide = 22;
constexpr int itemMargin = 5;

QColor withAlpha(QColor color, float alpha) {
    color.setAlphaF(alpha);
    return color;
}

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

} // namespace

QPainterPath gearGlyph(double side) {
    constexpr int teeth = 8;
    const double centre = side / 2;
    const double outer = side * 0.5;
    const double root = side * 0.37;
    const double hole = side * 0.16;
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    // Each tooth: a flat top over a quarter of its pitch, flanks sloping down to the root.
    const double pitch = 2 * std::numbers::pi / teeth;
    for (int tooth = 0; tooth < teeth; ++tooth) {
        const double start = tooth * pitch;
        const double angles[] = {start, start + pitch * 0.2, start + pitch * 0.45,
                                 start + pitch * 0.65};
        const double radii[] = {root, outer, outer, root};
        for (int corner = 0; corner < 4; ++corner) {
            const QPointF point(centre + radii[corner] * std::cos(angles[corner]),
                                centre + radii[corner] * std::sin(angles[corner]));
            if (tooth == 0 && corner == 0) {
                path.moveTo(point);
            } else {
                path.lineTo(point);
            }
        }
    }
    path.closeSubpath();
    path.addEllipse(QPointF(centre, centre), hole, hole);
    return path;
}

PreferencesTabBar::PreferencesTabBar(QWidget* parent)
    : QTabBar(parent) {
    setDrawBase(false);
    setExpanding(true);
    setDocumentMode(true);
    setElideMode(Qt::ElideNone);
    setFocusPolicy(Qt::NoFocus);
}

QSize PreferencesTabBar::sizeHint() const {
    return {itemWidth * std::max(count(), 1) + 2 * itemMargin, stripHeight};
}

QSize PreferencesTabBar::tabSizeHint(int) const {
    return {itemWidth, stripHeight};
}

void PreferencesTabBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette colors = palette();
    const bool dark = isDark(colors);
    const QColor text = colors.color(QPalette::WindowText);

    // The strip, a shade off the window's colour, with a hairline under it.
    const QColor window = colors.color(QPalette::Window);
    painter.fillRect(rect(), dark ? window.lighter(112) : window.darker(104));
    painter.fillRect(QRect(0, height() - 1, width(), 1), withAlpha(text, dark ? 0.25f : 0.15f));

    // The items sit side by side in the middle of the strip, whatever room the bar is given.
    const int itemsWidth = itemWidth * count();
    int x = (width() - itemsWidth) / 2;
    QFont labelFont = font();
    labelFont.setPointSizeF(font().pointSizeF() * 0.92);
    painter.setFont(labelFont);
    for (int index = 0; index < count(); ++index, x += itemWidth) {
        const bool current = index == currentIndex();
        const QRectF item(x + 2, itemMargin, itemWidth - 4, stripHeight - 2 * itemMargin - 1);
        if (current) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(withAlpha(text, dark ? 0.14f : 0.08f));
            painter.drawRoundedRect(item, 6, 6);
        }
        const QColor glyphColor =
            current ? colors.color(QPalette::Highlight) : withAlpha(text, 0.65f);
        const QPointF glyphOrigin(item.center().x() - glyphSide / 2.0, item.top() + 4);
        painter.fillPath(gearGlyph(glyphSide).translated(glyphOrigin), glyphColor);
        painter.setPen(current ? text : withAlpha(text, 0.75f));
        const QRectF label(item.left(), glyphOrigin.y() + glyphSide + 2, item.width(),
                           item.bottom() - (glyphOrigin.y() + glyphSide + 2));
        painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop, tabText(index));
    }
}

} // namespace vantrel
