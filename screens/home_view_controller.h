#pragma once

#include "screens/list_screen.h"
#include "screens/list_widgets.h"
#include "store/app.h"

#include <QList>

class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

namespace vantrel {

class AppListView;

// The popover's home screen: the locked applications with a remove button each (or a friendly
// empty state with a way to add the first one), and the switches for locking as a whole and for
// the full-screen lock mode. Every change is stored the moment it is made.
class HomeViewController final : public ListScreen {
    Q_OBJECT

public:
    explicit HomeViewController(QWidget* parent = nullptr);

    // Reads the switches and rebuilds the rows from the catalogue; runs each time the screen is
    // shown, and may be called directly.
    void viewWillAppear();

    // The actions of the screen's controls.
    void clickedAddFirstApp();
    void clickedActivateVantrel(bool isOn);
    void clickedEnableFullscreenLockMode(bool isOn);
    // tag: the row of the pressed remove button; a tag out of range is ignored.
    void clickedRemoveRowWithSender(int tag);

    const QList<AppRef>& allSelectedApps() const { return m_allSelectedApps; }
    // The cell of a row, or null.
    ListAppCell* cellForRow(int row) const;
    // The screen's own add button in its title bar; hide it when the popover root shows its own.
    void setHeaderButtonsVisible(bool visible);

    QFrame* boxAddFirstApp() const { return m_boxAddFirstApp; }
    QLabel* lblAddFirstApp() const { return m_lblAddFirstApp; }
    QPushButton* btnAddFirstApp() const { return m_btnAddFirstApp; }
    QFrame* boxAllAddedApps() const { return m_boxAllAddedApps; }
    AppListView* tableViewAddedApps() const { return m_tableViewAddedApps; }
    QFrame* boxActions() const { return m_boxActions; }
    ListSwitch* switchActive() const { return m_switchActive; }
    QLabel* lblActive() const { return m_lblActive; }
    ListSwitch* switchEnableFullscreen() const { return m_switchEnableFullscreen; }
    QLabel* lblEnableFullscreen() const { return m_lblEnableFullscreen; }
    QToolButton* btnHeaderAdd() const { return m_btnHeaderAdd; }

Q_SIGNALS:
    // The user asked for the add-applications screen.
    void addRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void restyle() override;

private:
    void reloadData();

    QLabel* m_lblSubtitle;
    QToolButton* m_btnHeaderAdd;
    QFrame* m_boxAddFirstApp;
    QLabel* m_imageEmpty;
    QLabel* m_lblAddFirstApp;
    QPushButton* m_btnAddFirstApp;
    QFrame* m_boxAllAddedApps;
    AppListView* m_tableViewAddedApps;
    QFrame* m_boxActions;
    ListSwitch* m_switchActive;
    QLabel* m_lblActive;
    ListSwitch* m_switchEnableFullscreen;
    QLabel* m_lblEnableFullscreen;
    QLabel* m_lblEnableFullscreenDetail = nullptr;
    QList<AppRef> m_allSelectedApps;
};

} // namespace vantrel
