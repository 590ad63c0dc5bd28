#pragma once

#include "app/status_bar_button.h"
#include "app/status_item.h"

#include <memory>
#include <QIcon>
#include <QObject>

namespace vantrel {

// The status item on the desktop's system tray. It has a button exactly while a tray shows it;
// a click on the button runs `onClick` with this item.
class StatusItemController final : public QObject, public StatusItem {
    Q_OBJECT

public:
    // The item on the system tray, showing `image` ("menu_icon").
    explicit StatusItemController(const QIcon& image, QObject* parent = nullptr);
    // The item on a given button, for tests.
    StatusItemController(const QIcon& image, std::unique_ptr<StatusBarButton> button,
                         QObject* parent = nullptr);
    ~StatusItemController() override;

    // The button, or null while no tray is there to show it.
    StatusBarButton* button() const;

    // Where the tray shows the button now; nothing while the item has no button.
    std::optional<QRect> buttonGeometry() const override;
    void setOnClick(ClickHandler handler) override { onClick = std::move(handler); }

    // What a click runs; nothing while unset.
    ClickHandler onClick;

public Q_SLOTS:
    // The button's action.
    void performClick();

private:
    std::unique_ptr<StatusBarButton> m_button;
};

} // namespace vantrel
