#include "app/tray_status_button.h"

namespace vantrel {

TrayStatusButton::TrayStatusButton(QObject* parent)
    : StatusBarButton(parent) {
    m_icon.setToolTip(QStringLiteral("Vantrel"));
    connect(&m_icon, &QSystemTrayIcon::activated, this, &TrayStatusButton::onActivated);
}

bool TrayStatusButton::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayStatusButton::setImage(const QIcon& image) {
    m_icon.setIcon(image);
    // Shown even while no tray runs: Qt hands the icon to a tray that starts later.
    m_icon.show();
}

QRect TrayStatusButton::screenGeometry() const {
    return m_icon.geometry();
}

void TrayStatusButton::onActivated(QSystemTrayIcon::ActivationReason reason) {
    // The second press of a double click already toggled the popover with its first press.
    if (reason == QSystemTrayIcon::DoubleClick)
        return;
    Q_EMIT clicked();
}

} // namespace vantrel
