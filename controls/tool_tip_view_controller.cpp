#include "controls/tool_tip_view_controller.h"

#include <algorithm>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace vantrel {
namespace {

constexpr int maximumTextWidth = 240;

} // namespace

ToolTipViewController::ToolTipViewController(QObject* parent)
    : QObject(parent)
    , m_popover(std::make_unique<ToolTipPopover>()) {
    connect(m_popover.get(), &ToolTipPopover::closed, this,
            &ToolTipViewController::viewDidDisappear);
}

ToolTipViewController::~ToolTipViewController() = default;

void ToolTipViewController::loadView() {
    auto* view = new QWidget;
    view->setObjectName(QStringLiteral("ToolTipView"));
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto* label = new QLabel(view);
    label->setObjectName(QStringLiteral("lblMessage"));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setPixelSize(12);
    label->setFont(font);
    layout->addWidget(label);

    m_lblMessage = label;
    m_view = view;
    m_popover->setContentView(view);
}

void ToolTipViewController::sizeViewToMessage() {
    if (!m_view)
        return;
    if (m_lblMessage) {
        const int oneLine = m_lblMessage->fontMetrics().horizontalAdvance(m_lblMessage->text());
        m_lblMessage->setFixedWidth(std::min(oneLine + 1, maximumTextWidth));
    }
    m_view->adjustSize();
}

void ToolTipViewController::viewDidDisappear() {
    if (m_lblMessage)
        m_lblMessage->setText(QString());
}

} // namespace vantrel
