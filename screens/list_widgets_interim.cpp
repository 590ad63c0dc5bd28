#include "screens/list_widgets_interim.h"

#include "screens/list_art.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QToolTip>

namespace vantrel {
namespace {

constexpr int switchWidth = 38;
constexpr int switchHeight = 22;
constexpr int cellIconSide = 28;
constexpr int cellButtonSide = 22;

} // namespace

InterimSwitch::InterimSwitch(QWidget* parent)
    : QCheckBox(parent) {
    setCursor(Qt::PointingHandCursor);
    setFixedSize(switchWidth, switchHeight);
}

QSize InterimSwitch::sizeHint() const {
    return {switchWidth, switchHeight};
}

bool InterimSwitch::hitButton(const QPoint& position) const {
    return rect().contains(position);
}

void InterimSwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool on = isChecked();
    const bool dark = palette().color(QPalette::Window).lightness() < 128;
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = track.height() / 2;
    if (on) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgbF(0.27f, 0.86f, 0.36f));
    } else {
        p.setPen(QPen(dark ? QColor(255, 255, 255, 40) : QColor(0, 0, 0, 40), 1.0));
        p.setBrush(dark ? QColor(255, 255, 255, 30) : QColor(0, 0, 0, 18));
    }
    if (!isEnabled())
        p.setOpacity(0.5);
    p.drawRoundedRect(track, radius, radius);
    const qreal knobSide = track.height() - 3;
    const qreal knobX = on ? track.right() - 1.5 - knobSide : track.left() + 1.5;
    const QRectF knob(knobX, track.top() + 1.5, knobSide, knobSide);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 38));
    p.drawEllipse(knob.translated(0, 0.8));
    p.setBrush(Qt::white);
    p.drawEllipse(knob);
}

InterimAppCell::InterimAppCell(QWidget* parent)
    : QWidget(parent)
    , m_imageApp(new QLabel)
    , m_lblAppName(new QLabel)
    , m_btnAddRemove(new QToolButton) {
    m_imageApp->setFixedSize(cellIconSide, cellIconSide);
    m_lblAppName->setObjectName(QStringLiteral("appName"));
    m_lblAppName->setTextFormat(Qt::PlainText);
    m_btnAddRemove->setObjectName(QStringLiteral("rowButton"));
    m_btnAddRemove->setFixedSize(cellButtonSide, cellButtonSide);
    m_btnAddRemove->setIconSize(QSize(cellButtonSide, cellButtonSide));
    m_btnAddRemove->setCursor(Qt::PointingHandCursor);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 0, 12, 0);
    layout->setSpacing(10);
    layout->addWidget(m_imageApp);
    layout->addWidget(m_lblAppName, 1);
    layout->addWidget(m_btnAddRemove);
}

ListSwitch* makeListSwitch(QWidget* parent) {
    return new InterimSwitch(parent);
}

bool listSwitchIsOn(const ListSwitch& control) {
    return control.isChecked();
}

void setListSwitchOn(ListSwitch& control, bool on) {
    // setChecked reports through toggled only; the screens listen to clicked, the user's flips.
    control.setChecked(on);
}

void onListSwitchFlipped(ListSwitch& control, QObject* context, std::function<void(bool)> handler) {
    QObject::connect(&control, &QCheckBox::clicked, context, std::move(handler));
}

ListAppCell* makeListAppCell(QWidget* parent) {
    return new InterimAppCell(parent);
}

void showAppInCell(ListAppCell& cell, const QIcon& icon, const QString& name, bool selected) {
    cell.imageApp()->setPixmap(
        icon.pixmap(QSize(cellIconSide, cellIconSide), cell.devicePixelRatioF()));
    cell.lblAppName()->setText(name);
    showCellSelected(cell, selected);
}

void showCellSelected(ListAppCell& cell, bool selected) {
    QToolButton* button = cell.btnAddRemove();
    button->setIcon(selected ? redMinusImage() : greenAddImage());
    const QString role =
        selected ? QStringLiteral("Remove from locked apps") : QStringLiteral("Lock this app");
    button->setToolTip(role);
    button->setAccessibleName(role);
}

QAbstractButton* cellButton(const ListAppCell& cell) {
    return cell.btnAddRemove();
}

void showHelpToolTip(QWidget* anchor, const QString& message) {
    if (!anchor)
        return;
    const QPoint rightSide(anchor->width() + 4, anchor->height() / 2);
    QToolTip::showText(anchor->mapToGlobal(rightSide), message, anchor);
}

} // namespace vantrel
