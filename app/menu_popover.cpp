#include "app/menu_popover.h"

#include <algorithm>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace vantrel {
namespace {

// The gap between the icon and the popover.
constexpr int anchorGap = 4;

QRect availableAreaAround(const QRect& anchor) {
    const QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

QPoint popoverPosition(const QRect& anchor, const QSize& size, const QRect& available) {
    int x = anchor.left() + (anchor.width() - size.width()) / 2;
    int y = anchor.bottom() + 1 + anchorGap;
    if (available.isEmpty())
        return {x, y};

    const bool roomBelow = y + size.height() <= available.bottom() + 1;
    const bool roomAbove = anchor.top() - anchorGap - size.height() >= available.top();
    if (!roomBelow && roomAbove)
        y = anchor.top() - anchorGap - size.height();

    // Keep it on screen; when it is larger than the screen, its top left stays visible.
    x = std::max(available.left(), std::min(x, available.right() + 1 - size.width()));
    y = std::max(available.top(), std::min(y, available.bottom() + 1 - size.height()));
    return {x, y};
}

MenuPopover::MenuPopover(QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("menuPopover"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

MenuPopover::~MenuPopover() {
    // Hand the shared content back before the widget tree below us is destroyed.
    setContent(nullptr);
}

void MenuPopover::setContent(QWidget* content) {
    if (m_content == content)
        return;
    if (m_content) {
        layout()->removeWidget(m_content);
        m_content->hide();
        m_content->setParent(nullptr);
    }
    m_content = content;
    if (m_content) {
        layout()->addWidget(m_content);
        m_content->show();
    }
}

void MenuPopover::showRelativeTo(const QRect& anchor) {
    adjustSize();
    move(popoverPosition(anchor, size(), availableAreaAround(anchor)));
    show();
    raise();
}

} // namespace vantrel
