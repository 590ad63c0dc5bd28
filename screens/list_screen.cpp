#include "screens/list_screen.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QToolButton>

namespace vantrel {

ListScreen::ListScreen(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("listScreen"));
    setAttribute(Qt::WA_StyledBackground);
}

void ListScreen::applyListStyle() {
    const QPalette& current = palette();
    const QRgb window = current.color(QPalette::Window).rgba();
    const QRgb text = current.color(QPalette::WindowText).rgba();
    // Setting the style sheet reports a palette change of its own; restyle only on a real one.
    if (m_styled && window == m_styledWindow && text == m_styledText)
        return;
    m_styled = true;
    m_styledWindow = window;
    m_styledText = text;
    m_colors = listColors(current);
    setStyleSheet(listStyleSheet(m_colors));
    restyle();
}

void ListScreen::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_styled)
        applyListStyle();
}

QFrame* ListScreen::makeCard() {
    auto* card = new QFrame;
    card->setObjectName(QStringLiteral("card"));
    return card;
}

QFrame* ListScreen::makeHairline() {
    auto* line = new QFrame;
    line->setObjectName(QStringLiteral("hairline"));
    line->setFixedHeight(1);
    return line;
}

QLabel* ListScreen::makeLabel(const QString& text, const QString& role) {
    auto* label = new QLabel(text);
    label->setObjectName(role);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QToolButton* ListScreen::makeIconButton(const QString& role, const QString& accessibleName) {
    auto* button = new QToolButton;
    button->setObjectName(role);
    button->setAccessibleName(accessibleName);
    button->setToolTip(accessibleName);
    button->setCursor(Qt::PointingHandCursor);
    button->setIconSize(QSize(16, 16));
    return button;
}

} // namespace vantrel
