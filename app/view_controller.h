#pragma once

#include "app/screen_navigator.h"

#include <functional>
#include <QWidget>

class QMenu;
class QStackedLayout;
class QVBoxLayout;

namespace vantrel {

class HeaderButton;

// The popover's root: a header with the back, add and menu buttons over a container that shows
// one screen at a time (password, home or add applications), and the popover's menu.
class ViewController : public QWidget, public ScreenNavigator {
    Q_OBJECT
    Q_INTERFACES(vantrel::ScreenNavigator)

public:
    explicit ViewController(QWidget* parent = nullptr);
    ~ViewController() override;

    // Shows the shared controller of `screen` in the container, in place of the one shown, and
    // sets the header's buttons for it.
    void showScreen(ViewControllers screen) override;
    ViewControllers currentVC() const { return m_currentVC; }

    // Preferences and Quit are offered unless the password screen guards a stored password.
    bool guardedItemsAllowed() const;
    // The popover's menu as it is now; the caller owns it.
    QMenu* makeMenu(QWidget* parent);

    // The views, made by the constructor and owned by this widget.
    HeaderButton* btnBack = nullptr;
    HeaderButton* btnAddApps = nullptr;
    HeaderButton* btnMenu = nullptr;
    QWidget* containerView = nullptr;

    // What "Rate Us on App Store" runs: the store page by default; the rating prompt's page
    // opener when it is wired up.
    std::function<void()> rateUsHandler;
    // What "Quit" runs: asking the application to quit by default.
    std::function<void()> quitHandler;

public Q_SLOTS:
    void clickedAddApps();
    void clickedBack();
    void clickedMenu();
    void clickedAboutUs();
    void clickedRateUs();
    void clickedPreferences();
    void clickedQuit();
    void clickedHelpAndSupport();
    void clickedGift();

private:
    void closePopover();
    void detachScreens();

    QVBoxLayout* m_containerLayout = nullptr;
    ViewControllers m_currentVC = ViewControllers::password;
};

// The identifiers of the screens' shared controllers.
QString controllerIdentifier(ViewControllers screen);

} // namespace vantrel
