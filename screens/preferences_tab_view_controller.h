#pragma once

#include <QTabWidget>

namespace vantrel {

class GeneralPreferencesVC;

// Fills the preferences window: one tab, "General", holding a GeneralPreferencesVC.
class PreferencesTabViewController : public QTabWidget {
    Q_OBJECT

public:
    explicit PreferencesTabViewController(QWidget* parent = nullptr);

    GeneralPreferencesVC* generalPreferences() const { return m_general; }

    // Names the first tab "General", when there is one; runs each time the tabs are about to
    // appear.
    void viewWillAppear();

protected:
    void showEvent(QShowEvent* event) override;

private:
    GeneralPreferencesVC* m_general;
};

} // namespace vantrel
