#pragma once

#include "screens/application_open_panel.h"
#include "screens/list_screen.h"
#include "screens/list_widgets.h"
#include "store/app.h"

#include <QList>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace vantrel {

class AppListView;

// The popover screen on which the user chooses the applications to lock: the installed (or only
// the running) applications, narrowed by a search on the first letters of their names, each
// with a button that locks it or takes it off the list; and a way to add applications by hand
// from their desktop entries. Every choice is stored the moment it is made.
class AddAppViewController final : public ListScreen {
    Q_OBJECT

public:
    explicit AddAppViewController(QWidget* parent = nullptr);

    // Sets the switch from the store and rebuilds the lists; runs each time the screen is shown.
    void viewWillAppear();

    // The actions of the screen's controls.
    void clickedRefresh();
    void clickedShowRunningAppsOnly(bool isOn);
    void clickedInfoRunningApps();
    void clickedInfoAddNow();
    void clickedAddNow() { addAppsByHand(); }
    // tag: the row of the pressed button; a tag out of range is ignored.
    void clickedAddRemoveRowWithSender(int tag);

    // Rebuilds the lists from a fresh catalogue, keeping the search text in force.
    void reloadApps();
    // Keeps the applications whose name begins with the text, ignoring case.
    void filterApps(const QString& searchText);

    // Replaces the desktop's open panel, for tests and other front ends.
    void setOpenPanel(ApplicationOpenPanel panel) { m_openPanel = std::move(panel); }
    // The screen's own back button in its title bar; hide it when the popover root has one.
    void setHeaderButtonsVisible(bool visible);

    const QList<AppRef>& allApps() const { return m_allApps; }
    const QList<AppRef>& filteredApps() const { return m_filteredApps; }
    ListAppCell* cellForRow(int row) const;

    QLineEdit* searchFIeld() const { return m_searchFIeld; }
    QToolButton* btnRefresh() const { return m_btnRefresh; }
    QLabel* lblAppsSelected() const { return m_lblAppsSelected; }
    AppListView* tableViewApps() const { return m_tableViewApps; }
    ListSwitch* switchRunningApps() const { return m_switchRunningApps; }
    QLabel* lblShowRunningApps() const { return m_lblShowRunningApps; }
    QToolButton* btnInfoRunningApps() const { return m_btnInfoRunningApps; }
    QLabel* lblCouldNotFindApp() const { return m_lblCouldNotFindApp; }
    QFrame* boxAddNow() const { return m_boxAddNow; }
    QLabel* lblAddNow() const { return m_lblAddNow; }
    QPushButton* btnAddNow() const { return m_btnAddNow; }
    QToolButton* btnInfoAddNow() const { return m_btnInfoAddNow; }
    QToolButton* btnHeaderBack() const { return m_btnHeaderBack; }

Q_SIGNALS:
    // The user asked to go back to the list of locked applications.
    void backRequested();
    // The open panel is about to run; the popover closes first so that it does not cover it.
    void closePopoverRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void restyle() override;

private:
    void addAppsByHand();
    void updateSelectionCounter();
    void reloadTable();
    void showSelectionOfRows(const QString& bundleID, bool selected);

    QToolButton* m_btnHeaderBack;
    QLineEdit* m_searchFIeld;
    QToolButton* m_btnRefresh;
    QLabel* m_lblAppsSelected;
    AppListView* m_tableViewApps;
    QLabel* m_lblNoMatch;
    ListSwitch* m_switchRunningApps;
    QLabel* m_lblShowRunningApps;
    QToolButton* m_btnInfoRunningApps;
    QFrame* m_boxAddNow;
    QLabel* m_lblCouldNotFindApp;
    QLabel* m_lblAddNow;
    QPushButton* m_btnAddNow;
    QToolButton* m_btnInfoAddNow;
    QAction* m_searchIcon = nullptr;

    QList<AppRef> m_allApps;
    QList<AppRef> m_filteredApps;
    ApplicationOpenPanel m_openPanel = runApplicationOpenPanel;
};

} // namespace vantrel
