#pragma once

#include <QIcon>
#include <QObject>
#include <QRect>

namespace vantrel {

// The clickable icon of the status item in the desktop's system tray.
class StatusBarButton : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~StatusBarButton() override = default;

    // Whether a tray shows the button now; the status item has a button only then.
    virtual bool isAvailable() const = 0;
    virtual void setImage(const QIcon& image) = 0;
    // Where the tray shows the button, in screen coordinates; what the tray reports at this
    // moment, which may be a made-up place until the panel has taken the icon in.
    virtual QRect screenGeometry() const = 0;

Q_SIGNALS:
    // A click on the button (any mouse button but a double click's second press).
    void clicked();
};

} // namespace vantrel
