#pragma once

#include <QPointer>
#include <QWidget>

namespace vantrel {

// Where the popover's screens go on a desktop without a system tray: a small ordinary window,
// which the window manager places and the task bar lists, so that there is always a way in.
class PopoverWindow final : public QWidget {
    Q_OBJECT

public:
    PopoverWindow();
    ~PopoverWindow() override;

    // The widget shown; borrowed as the popover borrows it, and handed back (unparented) when
    // replaced or when the window goes.
    void setContent(QWidget* content);
    QWidget* content() const { return m_content; }

private:
    QPointer<QWidget> m_content;
};

} // namespace vantrel
