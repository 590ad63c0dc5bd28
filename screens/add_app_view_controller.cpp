#include "screens/add_app_view_controller.h"

#include "controls/alert.h"
#include "platform/application_bundles.h"
#include "platform/application_paths.h"
#include "platform/platform.h"
#include "screens/app_list_view.h"
#include "screens/list_art.h"
#include "store/catalogue.h"
#include "store/settings.h"

#include <algorithm>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace vantrel {
namespace {

const QString runningAppsHelp =
    QStringLiteral("List the apps that are currently running on this computer.");
const QString addNowHelp = QStringLiteral(
    "Manually add your apps that are not listing in the AppList and apply lock/unlock.");

// Where the open panel starts: the system-wide applications folder, the one that holds
// something, rather than the user's own (usually near empty) one. Empty when there is none.
QString systemApplicationsFolder() {
    const ApplicationBundles* bundles = platform().applicationBundles;
    if (!bundles)
        return {};
    const QString home = QDir::homePath();
    for (const QString& folder : bundles->applicationFolders()) {
        if (folder.startsWith(home + QLatin1Char('/')))
            continue;
        const std::optional<QStringList> entries = bundles->folderContents(folder);
        if (entries && !entries->isEmpty())
            return folder;
    }
    return {};
}

// What a file chosen by hand turned out to be.
struct ChosenFile {
    enum class Kind { Application, Ownself, NotAnApplication };
    Kind kind = Kind::NotAnApplication;
    QString identifier;
};

// Any application entry the user can read is taken, wherever it lies: the desktop then knows it
// through customAppPaths. This program itself is left out without a word.
ChosenFile chosenFile(const QString& path) {
    const std::optional<ApplicationBundle> bundle = platform().applicationBundles->bundleAt(path);
    if (!bundle || !bundle->bundleIdentifier || bundle->bundleIdentifier->isEmpty())
        return {};
    if (*bundle->bundleIdentifier == ownBundleIdentifier)
        return {ChosenFile::Kind::Ownself, {}};
    return {ChosenFile::Kind::Application, *bundle->bundleIdentifier};
}

void reportFilesNotAdded(const QStringList& paths) {
    QStringList names;
    for (const QString& path : paths)
        names.append(QStringLiteral("“%1”").arg(QFileInfo(path).fileName()));
    const QString title =
        paths.size() == 1
            ? QStringLiteral("%1 is not an application").arg(names.first())
            : QStringLiteral("%1 of the chosen files are not applications").arg(paths.size());
    QString message = QStringLiteral(
        "Choose an application's desktop entry: a file ending in “.desktop” that starts a "
        "program. Nothing was added for ");
    message += paths.size() == 1
                   ? QStringLiteral("it.")
                   : QStringLiteral("these: %1.").arg(names.join(QStringLiteral(", ")));
    showAlert(title, message);
}

} // namespace

AddAppViewController::AddAppViewController(QWidget* parent)
    : ListScreen(parent)
    , m_btnHeaderBack(makeIconButton(QStringLiteral("headerButton"), QStringLiteral("Back")))
    , m_searchFIeld(new QLineEdit)
    , m_btnRefresh(makeIconButton(QStringLiteral("headerButton"), QStringLiteral("Refresh")))
    , m_lblAppsSelected(makeLabel({}, QStringLiteral("selectionCounter")))
    , m_tableViewApps(new AppListView)
    , m_lblNoMatch(makeLabel({}, QStringLiteral("emptyText")))
    , m_switchRunningApps(makeListSwitch(nullptr))
    , m_lblShowRunningApps(
          makeLabel(QStringLiteral("Show running apps only"), QStringLiteral("optionLabel")))
    , m_btnInfoRunningApps(makeIconButton(QStringLiteral("infoButton"), QStringLiteral("Help")))
    , m_boxAddNow(makeCard())
    , m_lblCouldNotFindApp(
          makeLabel(QStringLiteral("Can't find an app?"), QStringLiteral("sectionTitle")))
    , m_lblAddNow(makeLabel(QStringLiteral("Choose its desktop entry by hand."),
                            QStringLiteral("secondary")))
    , m_btnAddNow(new QPushButton(QStringLiteral("Add Now…")))
    , m_btnInfoAddNow(makeIconButton(QStringLiteral("infoButton"), QStringLiteral("Help"))) {
    // Title bar.
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(4);
    header->addWidget(m_btnHeaderBack, 0, Qt::AlignVCenter);
    header->addWidget(makeLabel(QStringLiteral("Add Apps"), QStringLiteral("screenTitle")), 1);
    header->addWidget(m_btnRefresh, 0, Qt::AlignVCenter);

    // Search and the counter of the visible rows.
    m_searchFIeld->setObjectName(QStringLiteral("searchField"));
    m_searchFIeld->setPlaceholderText(QStringLiteral("Search apps"));
    m_searchFIeld->setClearButtonEnabled(true);
    m_searchFIeld->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_searchIcon = m_searchFIeld->addAction(QIcon(), QLineEdit::LeadingPosition);
    m_lblAppsSelected->setAlignment(Qt::AlignCenter);
    m_lblAppsSelected->setMinimumWidth(86);
    auto* search = new QHBoxLayout;
    search->setSpacing(8);
    search->addWidget(m_searchFIeld, 1);
    search->addWidget(m_lblAppsSelected);

    // The list, or a line saying that nothing matches.
    auto* listCard = makeCard();
    m_lblNoMatch->setAlignment(Qt::AlignCenter);
    m_lblNoMatch->setWordWrap(true);
    m_lblNoMatch->hide();
    auto* list = new QVBoxLayout(listCard);
    list->setContentsMargins(0, 2, 0, 2);
    list->addWidget(m_tableViewApps, 1);
    list->addWidget(m_lblNoMatch, 1);

    // Running applications only.
    auto* runningCard = makeCard();
    auto* running = new QHBoxLayout(runningCard);
    running->setContentsMargins(14, 8, 12, 8);
    running->setSpacing(6);
    running->addWidget(m_lblShowRunningApps);
    running->addWidget(m_btnInfoRunningApps, 0, Qt::AlignVCenter);
    running->addStretch(1);
    running->addWidget(m_switchRunningApps, 0, Qt::AlignVCenter);

    // Adding by hand.
    m_btnAddNow->setObjectName(QStringLiteral("secondaryButton"));
    m_btnAddNow->setCursor(Qt::PointingHandCursor);
    auto* titleLine = new QHBoxLayout;
    titleLine->setSpacing(6);
    titleLine->addWidget(m_lblCouldNotFindApp);
    titleLine->addWidget(m_btnInfoAddNow, 0, Qt::AlignVCenter);
    titleLine->addStretch(1);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(1);
    texts->addLayout(titleLine);
    // Two lines where the font is wide; the button keeps its room.
    m_lblAddNow->setWordWrap(true);
    texts->addWidget(m_lblAddNow);
    auto* addNow = new QHBoxLayout(m_boxAddNow);
    addNow->setContentsMargins(14, 9, 12, 9);
    addNow->addLayout(texts, 1);
    addNow->addWidget(m_btnAddNow, 0, Qt::AlignVCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(10);
    layout->addLayout(header);
    layout->addLayout(search);
    layout->addWidget(listCard, 1);
    layout->addWidget(runningCard);
    layout->addWidget(m_boxAddNow);

    connect(m_btnHeaderBack, &QToolButton::clicked, this, &AddAppViewController::backRequested);
    connect(m_btnRefresh, &QToolButton::clicked, this, &AddAppViewController::clickedRefresh);
    connect(m_searchFIeld, &QLineEdit::textChanged, this, &AddAppViewController::filterApps);
    connect(m_btnInfoRunningApps, &QToolButton::clicked, this,
            &AddAppViewController::clickedInfoRunningApps);
    connect(m_btnInfoAddNow, &QToolButton::clicked, this, &AddAppViewController::clickedInfoAddNow);
    connect(m_btnAddNow, &QPushButton::clicked, this, &AddAppViewController::clickedAddNow);
    onListSwitchFlipped(*m_switchRunningApps, this,
                        [this](bool on) { clickedShowRunningAppsOnly(on); });

    applyListStyle();
    reloadTable();
}

void AddAppViewController::viewWillAppear() {
    setListSwitchOn(*m_switchRunningApps, readFlag(keys::isShowRunningAppsOnly));
    reloadApps();
}

void AddAppViewController::clickedRefresh() {
    // Cleared without filtering the old list: the fresh one is filtered below.
    const QSignalBlocker quiet(m_searchFIeld);
    m_searchFIeld->clear();
    reloadApps();
}

void AddAppViewController::clickedShowRunningAppsOnly(bool isOn) {
    if (!writeFlag(keys::isShowRunningAppsOnly, isOn)) {
        // Refused: the old value stays in force, and so does the list.
        setListSwitchOn(*m_switchRunningApps, readFlag(keys::isShowRunningAppsOnly));
        return;
    }
    reloadApps();
}

void AddAppViewController::clickedInfoRunningApps() {
    showHelpToolTip(m_btnInfoRunningApps, runningAppsHelp);
}

void AddAppViewController::clickedInfoAddNow() {
    showHelpToolTip(m_btnInfoAddNow, addNowHelp);
}

void AddAppViewController::clickedAddRemoveRowWithSender(int tag) {
    if (tag < 0 || tag >= m_filteredApps.size())
        return;
    const AppRef app = m_filteredApps.at(tag);
    const bool select = !app->isSelected;
    // Selecting moves the identifier to the end of the locked list; deselecting takes every copy
    // out. A refused write changes nothing, so the row keeps showing what is stored.
    const bool stored = select ? selectSavedId(app->bundleID) : removeSavedId(app->bundleID);
    if (!stored)
        return;
    showSelectionOfRows(app->bundleID, select);
    updateSelectionCounter();
}

void AddAppViewController::reloadApps() {
    m_allApps = readFlag(keys::isShowRunningAppsOnly) ? runningApps() : installedApps();
    m_filteredApps = m_allApps;
    filterApps(m_searchFIeld->text());
}

void AddAppViewController::filterApps(const QString& searchText) {
    const QString prefix = searchText.toLower();
    QList<AppRef> kept;
    for (const AppRef& app : m_allApps) {
        const std::optional<QString> name = app->displayName();
        if (name && name->toLower().startsWith(prefix))
            kept.append(app);
    }
    m_filteredApps = std::move(kept);
    reloadTable();
}

void AddAppViewController::setHeaderButtonsVisible(bool visible) {
    m_btnHeaderBack->setVisible(visible);
}

ListAppCell* AddAppViewController::cellForRow(int row) const {
    return qobject_cast<ListAppCell*>(m_tableViewApps->cellAt(row));
}

void AddAppViewController::showEvent(QShowEvent* event) {
    ListScreen::showEvent(event);
    if (!event->spontaneous())
        viewWillAppear();
}

void AddAppViewController::restyle() {
    m_btnHeaderBack->setIcon(backGlyph(colors().accent));
    m_btnRefresh->setIcon(refreshGlyph(colors().secondaryText));
    m_btnInfoRunningApps->setIcon(infoGlyph(colors().secondaryText));
    m_btnInfoAddNow->setIcon(infoGlyph(colors().secondaryText));
    m_searchIcon->setIcon(searchGlyph(colors().secondaryText));
    m_tableViewApps->setSeparatorColor(colors().separator);
}

void AddAppViewController::addAppsByHand() {
    Q_EMIT closePopoverRequested();
    const std::optional<QStringList> chosen = m_openPanel(systemApplicationsFolder());
    if (!chosen)
        return;
    QStringList notApplications;
    for (const QString& path : *chosen) {
        const ChosenFile file = chosenFile(path);
        if (file.kind == ChosenFile::Kind::NotAnApplication)
            notApplications.append(path);
        if (file.kind != ChosenFile::Kind::Application)
            continue;
        // An application already locked keeps its place in the list.
        addSavedIdIfMissing(file.identifier);
        // The path chosen, not the desktop's preferred copy: that is what the user picked.
        addCustomAppPathIfMissing(path);
    }
    reloadApps();
    if (!notApplications.isEmpty())
        reportFilesNotAdded(notApplications);
}

void AddAppViewController::updateSelectionCounter() {
    const auto selected = std::count_if(m_filteredApps.cbegin(), m_filteredApps.cend(),
                                        [](const AppRef& app) { return app->isSelected; });
    m_lblAppsSelected->setText(
        QStringLiteral("%1 / %2\nApps Selected").arg(selected).arg(m_filteredApps.size()));
}

void AddAppViewController::reloadTable() {
    m_tableViewApps->clearRows();
    for (int row = 0; row < m_filteredApps.size(); ++row) {
        m_tableViewApps->appendRow(makeAppCell(
            *m_filteredApps.at(row), this, [this, row] { clickedAddRemoveRowWithSender(row); }));
    }
    const bool nothing = m_filteredApps.isEmpty();
    m_tableViewApps->setVisible(!nothing);
    m_lblNoMatch->setVisible(nothing);
    if (nothing) {
        m_lblNoMatch->setText(
            m_searchFIeld->text().isEmpty()
                ? QStringLiteral("No apps to show.")
                : QStringLiteral("No app name begins with “%1”.").arg(m_searchFIeld->text()));
    }
    updateSelectionCounter();
}

// Every record of the application changes, and the rows that show one: the same application
// may be listed twice (found in two folders) and all its rows must tell the truth.
void AddAppViewController::showSelectionOfRows(const QString& bundleID, bool selected) {
    for (const AppRef& app : m_allApps) {
        if (app->bundleID == bundleID)
            app->isSelected = selected;
    }
    for (int row = 0; row < m_filteredApps.size(); ++row) {
        if (m_filteredApps.at(row)->bundleID != bundleID)
            continue;
        if (ListAppCell* cell = cellForRow(row))
            showCellSelected(*cell, selected);
    }
}

} // namespace vantrel
