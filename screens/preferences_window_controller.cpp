#include "screens/preferences_window_controller.h"

#include "app/storyboard.h"
#include "platform/platform.h"
#include "platform/workspace.h"
#include "screens/preferences_tab_view_controller.h"

#include <algorithm>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace vantrel {

PreferencesWindowController::PreferencesWindowController(QObject* parent)
    : QObject(parent)
    , m_window(new QDialog)
    , m_content(new PreferencesTabViewController) {
    m_window->setObjectName(QStringLiteral("preferencesWindow"));
    m_window->setWindowTitle(QStringLiteral("Vantrel Preferences"));
    // A window of its own, not tied to the popover: it has no parent and stays after closing.
    m_window->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_content);
    // The window keeps the size its content asks for, as preferences windows do.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

PreferencesWindowController::~PreferencesWindowController() {
    delete m_window;
}

QWidget* PreferencesWindowController::window() const {
    return m_window;
}

void PreferencesWindowController::showWindow() {
    if (!m_placed) {
        m_window->adjustSize();
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            // A little above the middle, where the eye goes first.
            const QRect available = screen->availableGeometry();
            QRect frame(QPoint(), m_window->size());
            frame.moveCenter(available.center());
            frame.moveTop(std::max(available.top(), frame.top() - available.height() / 8));
            m_window->move(frame.topLeft());
        }
        m_placed = true;
    }
    if (m_window->isMinimized())
        m_window->showNormal();
    m_window->show();
    m_window->raise();
    // The program lives in the tray and is usually not the active one: bring it forward with
    // the window, so that the window gets the keyboard focus.
    if (Workspace* workspace = platform().workspace) {
        workspace->activateSelf(m_window->windowHandle());
    } else {
        m_window->activateWindow();
    }
}

void showPreferences() {
    if (auto* controller = storyboard::sharedController<PreferencesWindowController>(
            preferencesWindowControllerIdentifier)) {
        controller->showWindow();
    }
}

} // namespace vantrel
