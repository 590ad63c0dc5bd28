#include "app/view_controller.h"

#include "app/about_panel.h"
#include "app/header_button.h"
#include "app/web_links.h"
#include "platform/window_compositing.h"
#include "screens/popover_style.h"
#include "screens/preferences_window_controller.h"
#include "store/master_password.h"

#include <QCoreApplication>
#include <QCursor>
#include <QHBoxLayout>
#include <QMenu>
#include <QVBoxLayout>

namespace vantrel {
namespace {

constexpr QSize popoverContentSize(340, 460);

void styleMenu(QMenu* menu) {
    const style::PopoverColors colors = style::popoverColors(menu->palette());
    const bool rounded = desktopCompositesWindows();
    if (rounded) {
        menu->setAttribute(Qt::WA_TranslucentBackground);
        menu->setWindowFlag(Qt::NoDropShadowWindowHint);
    }
    QColor disabled = colors.text;
    disabled.setAlpha(80);
    menu->setFont(style::systemFont(13));
    menu->setStyleSheet(
        QStringLiteral("QMenu { background: %1; border: 1px solid %2;"
                       "  border-radius: %3px; padding: 5px; }"
                       "QMenu::item { color: %4; background: transparent;"
                       "  padding: 4px 28px 4px 12px; border-radius: 5px; }"
                       "QMenu::item:selected { background: %5; color: %6; }"
                       "QMenu::item:disabled { color: %7; background: transparent; }"
                       "QMenu::separator { height: 1px; background: %8;"
                       "  margin: 5px 9px; }")
            .arg(style::cssColor(colors.card), style::cssColor(colors.cardBorder))
            .arg(rounded ? 8 : 0)
            .arg(style::cssColor(colors.text), style::cssColor(colors.accent),
                 style::cssColor(colors.accentText), style::cssColor(disabled),
                 style::cssColor(colors.separator)));
}

} // namespace

QString controllerIdentifier(ViewControllers screen) {
    switch (screen) {
    case ViewControllers::password:
        return QStringLiteral("PasswordViewController");
    case ViewControllers::home:
        return QStringLiteral("HomeViewController");
    case ViewControllers::addApp:
        return QStringLiteral("AddAppViewController");
    }
    return {};
}

ViewController::ViewController(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("ViewController"));
    setFixedSize(popoverContentSize);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(10, 8, 10, 0);
    header->setSpacing(4);
    btnBack = new HeaderButton(HeaderButton::Glyph::back, tr("Back"), this);
    btnAddApps = new HeaderButton(HeaderButton::Glyph::add, tr("Add Applications"), this);
    btnMenu = new HeaderButton(HeaderButton::Glyph::menu, tr("Menu"), this);
    header->addWidget(btnBack);
    header->addStretch();
    header->addWidget(btnAddApps);
    header->addWidget(btnMenu);
    // Keeps the header's height when every button but the menu is hidden.
    header->addStrut(28);
    layout->addLayout(header);

    containerView = new QWidget(this);
    containerView->setObjectName(QStringLiteral("containerView"));
    m_containerLayout = new QVBoxLayout(containerView);
    m_containerLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(containerView, 1);

    connect(btnAddApps, &QAbstractButton::clicked, this, &ViewController::clickedAddApps);
    connect(btnBack, &QAbstractButton::clicked, this, &ViewController::clickedBack);
    connect(btnMenu, &QAbstractButton::clicked, this, &ViewController::clickedMenu);

    btnBack->hide();
    btnAddApps->hide();
}

ViewController::~ViewController() {
    detachScreens();
}

void ViewController::detachScreens() {
    // Screens are shared controllers: detached here, never destroyed.
    const auto shown = containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : shown) {
        m_containerLayout->removeWidget(child);
        child->hide();
        child->setParent(nullptr);
    }
}

void ViewController::showScreen(ViewControllers screen) {
    if (!containerView)
        return;
    detachScreens();

    auto* controller =
        qobject_cast<QWidget*>(storyboard::sharedObject(controllerIdentifier(screen)));
    if (controller) {
        controller->setParent(containerView);
        m_containerLayout->addWidget(controller);
        controller->show();
    }

    btnBack->setVisible(screen == ViewControllers::addApp);
    btnAddApps->setVisible(screen == ViewControllers::home);
    m_currentVC = screen;

    // The focus goes to the new screen (or stays where the screen put it), not to whichever
    // header button it fell to when the old screen went: that one would show a focus ring.
    if (controller) {
        QWidget* focused = window()->focusWidget();
        if (!focused || !controller->isAncestorOf(focused))
            controller->setFocus(Qt::OtherFocusReason);
    }
}

bool ViewController::guardedItemsAllowed() const {
    return m_currentVC != ViewControllers::password || !readStoredPassword().isSet();
}

QMenu* ViewController::makeMenu(QWidget* parent) {
    const bool allowed = guardedItemsAllowed();
    auto* menu = new QMenu(parent);
    styleMenu(menu);
    connect(menu->addAction(tr("About Us")), &QAction::triggered, this,
            &ViewController::clickedAboutUs);
    connect(menu->addAction(tr("Rate Us on App Store")), &QAction::triggered, this,
            &ViewController::clickedRateUs);
    menu->addSeparator();
    // While the password screen guards a stored password these items do nothing and show so.
    QAction* preferences = menu->addAction(tr("Preferences"));
    preferences->setEnabled(allowed);
    if (allowed)
        connect(preferences, &QAction::triggered, this, &ViewController::clickedPreferences);
    menu->addSeparator();
    QAction* quit = menu->addAction(tr("Quit"));
    quit->setEnabled(allowed);
    if (allowed)
        connect(quit, &QAction::triggered, this, &ViewController::clickedQuit);
    return menu;
}

void ViewController::clickedAddApps() {
    showScreen(ViewControllers::addApp);
}

void ViewController::clickedBack() {
    showScreen(ViewControllers::home);
}

void ViewController::clickedMenu() {
    QMenu* menu = makeMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(QCursor::pos());
}

void ViewController::closePopover() {
    // Another window cannot take the keyboard while the popup holds it.
    QWidget* popover = window();
    if (popover != this && popover->windowType() == Qt::Popup)
        popover->close();
}

void ViewController::clickedAboutUs() {
    closePopover();
    showAboutPanel();
}

void ViewController::clickedRateUs() {
    closePopover();
    if (rateUsHandler)
        rateUsHandler();
    else
        openStorePage();
}

void ViewController::clickedPreferences() {
    closePopover();
    showPreferences();
}

void ViewController::clickedQuit() {
    closePopover();
    if (quitHandler)
        quitHandler();
    else
        QCoreApplication::quit();
}

void ViewController::clickedHelpAndSupport() {
    openWebAddress(links::supportPage());
}

void ViewController::clickedGift() {
    openWebAddress(links::otherProductsPage());
}

} // namespace vantrel
