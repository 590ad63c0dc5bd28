#pragma once

#include "app/status_bar_button.h"

#include <memory>
#include <QObject>

namespace vantrel {

// The program's item in the system tray. It has a button exactly while a tray shows it.
class StatusItem : public QObject {
    Q_OBJECT

public:
    explicit StatusItem(std::unique_ptr<StatusBarButton> button, QObject* parent = nullptr);
    ~StatusItem() override;

    // The button, or null while no tray is there to show it.
    StatusBarButton* button() const;

private:
    std::unique_ptr<StatusBarButton> m_button;
};

} // namespace vantrel
