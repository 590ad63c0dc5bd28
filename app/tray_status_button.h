#pragma once

#include "app/status_bar_button.h"

#include <QSystemTrayIcon>

namespace vantrel {

// The status item's button as a system tray icon (StatusNotifierItem, or XEmbed without one).
class TrayStatusButton final : public StatusBarButton {
    Q_OBJECT

public:
    explicit TrayStatusButton(QObject* parent = nullptr);

    bool isAvailable() const override;
    void setImage(const QIcon& image) override;
    QRect screenGeometry() const override;

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon m_icon;
};

} // namespace vantrel
