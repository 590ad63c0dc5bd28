#pragma once

#include <QObject>
#include <QString>

class QDialog;
class QWidget;

namespace vantrel {

class PreferencesTabViewController;

inline const QString preferencesWindowControllerIdentifier =
    QStringLiteral("PreferencesWindowController");

// Owns the preferences window and its tabs. The program keeps one, shared through the controller
// registry, so opening the preferences again brings the same window forward.
class PreferencesWindowController final : public QObject {
    Q_OBJECT

public:
    explicit PreferencesWindowController(QObject* parent = nullptr);
    ~PreferencesWindowController() override;

    QWidget* window() const;
    PreferencesTabViewController* contentViewController() const { return m_content; }

public Q_SLOTS:
    // Shows the window, centred on the screen the first time, and brings it (and the program)
    // forward with the keyboard focus; a window already open only comes forward.
    void showWindow();

private:
    QDialog* m_window;
    PreferencesTabViewController* m_content;
    bool m_placed = false;
};

// The shared controller's window, shown or brought forward. Nothing when no controller is
// registered under preferencesWindowControllerIdentifier.
void showPreferences();

} // namespace vantrel
