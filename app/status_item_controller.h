#pragma once

#include "app/status_item.h"

#include <functional>
#include <memory>
#include <QIcon>
#include <QObject>

namespace vantrel {

// Owns the status item and runs `onClick` when its button is clicked.
class StatusItemController : public QObject {
    Q_OBJECT

public:
    // The item on the desktop's system tray, showing `image` ("menu_icon").
    explicit StatusItemController(const QIcon& image, QObject* parent = nullptr);
    // The item on a given button, for tests.
    StatusItemController(const QIcon& image, std::unique_ptr<StatusBarButton> button,
                         QObject* parent = nullptr);
    ~StatusItemController() override;

    StatusItem* statusItem() const { return m_statusItem.get(); }

    // What a click runs; nothing while unset.
    std::function<void(StatusItem&)> onClick;

public Q_SLOTS:
    // The button's action.
    void performClick();

private:
    std::unique_ptr<StatusItem> m_statusItem;
};

} // namespace vantrel
