#include "app/view_controller.h"

namespace vantrel {
namespace {

// The popover's size until its screens give it one of their own.
constexpr QSize placeholderSize(360, 480);

} // namespace

ViewController::ViewController(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("ViewController"));
    setFixedSize(placeholderSize);
}

void ViewController::showScreen(ViewControllers screen) {
    m_currentVC = screen;
}

} // namespace vantrel
