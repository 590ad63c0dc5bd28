#pragma once

#include <cstdint>
#include <QWidget>

namespace vantrel {

// The screens of the popover.
enum class ViewControllers : std::uint8_t { password = 0, home = 1, addApp = 2 };

// The popover's root, shared process-wide under the identifier "ViewController". For now it only
// keeps track of the screen asked for; the screens and the popover menu come with their own
// controllers.
class ViewController : public QWidget {
    Q_OBJECT

public:
    explicit ViewController(QWidget* parent = nullptr);

    void showScreen(ViewControllers screen);
    ViewControllers currentVC() const { return m_currentVC; }

private:
    ViewControllers m_currentVC = ViewControllers::password;
};

} // namespace vantrel
