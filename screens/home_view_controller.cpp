#include "screens/home_view_controller.h"

#include "platform/platform.h"
#include "platform/workspace.h"
#include "screens/app_list_view.h"
#include "screens/list_art.h"
#include "store/catalogue.h"
#include "store/settings.h"

#include <algorithm>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace vantrel {
namespace {

constexpr int emptyArtSide = 64;

// A labelled switch with a line of explanation under the label.
QWidget* optionRow(QLabel* label, QLabel* caption, QWidget* control) {
    auto* row = new QWidget;
    auto* texts = new QVBoxLayout;
    texts->setSpacing(1);
    texts->addWidget(label);
    texts->addWidget(caption);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(14, 9, 12, 9);
    layout->addLayout(texts, 1);
    layout->addWidget(control, 0, Qt::AlignVCenter);
    return row;
}

QString lockedCountText(qsizetype count) {
    if (count == 0)
        return QStringLiteral("No apps locked");
    if (count == 1)
        return QStringLiteral("1 app locked");
    return QStringLiteral("%1 apps locked").arg(count);
}

} // namespace

HomeViewController::HomeViewController(QWidget* parent)
    : ListScreen(parent)
    , m_lblSubtitle(makeLabel({}, QStringLiteral("screenSubtitle")))
    , m_btnHeaderAdd(makeIconButton(QStringLiteral("headerButton"), QStringLiteral("Add Apps")))
    , m_boxAddFirstApp(makeCard())
    , m_imageEmpty(new QLabel)
    , m_lblAddFirstApp(makeLabel(
          QStringLiteral("Choose the apps that should ask for your master password before they "
                         "open."),
          QStringLiteral("emptyText")))
    , m_btnAddFirstApp(new QPushButton(QStringLiteral("Add Apps…")))
    , m_boxAllAddedApps(makeCard())
    , m_tableViewAddedApps(new AppListView)
    , m_boxActions(makeCard())
    , m_switchActive(makeListSwitch(nullptr))
    , m_lblActive(makeLabel(QStringLiteral("Lock apps"), QStringLiteral("optionLabel")))
    , m_switchEnableFullscreen(makeListSwitch(nullptr))
    , m_lblEnableFullscreen(
          makeLabel(QStringLiteral("Full-screen lock"), QStringLiteral("optionLabel"))) {
    // Title bar.
    auto* titles = new QVBoxLayout;
    titles->setSpacing(0);
    titles->addWidget(makeLabel(QStringLiteral("Locked Apps"), QStringLiteral("screenTitle")));
    titles->addWidget(m_lblSubtitle);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(4, 0, 0, 0);
    header->addLayout(titles, 1);
    header->addWidget(m_btnHeaderAdd, 0, Qt::AlignVCenter);

    // Empty state.
    m_imageEmpty->setFixedSize(emptyArtSide, emptyArtSide);
    auto* emptyTitle =
        makeLabel(QStringLiteral("No locked apps yet"), QStringLiteral("emptyTitle"));
    emptyTitle->setAlignment(Qt::AlignHCenter);
    m_lblAddFirstApp->setWordWrap(true);
    m_lblAddFirstApp->setAlignment(Qt::AlignHCenter);
    m_btnAddFirstApp->setObjectName(QStringLiteral("primaryButton"));
    m_btnAddFirstApp->setCursor(Qt::PointingHandCursor);
    auto* empty = new QVBoxLayout(m_boxAddFirstApp);
    empty->setContentsMargins(28, 24, 28, 24);
    empty->setSpacing(8);
    empty->addStretch(1);
    empty->addWidget(m_imageEmpty, 0, Qt::AlignHCenter);
    empty->addSpacing(6);
    empty->addWidget(emptyTitle);
    empty->addWidget(m_lblAddFirstApp);
    empty->addSpacing(8);
    empty->addWidget(m_btnAddFirstApp, 0, Qt::AlignHCenter);
    empty->addStretch(1);

    // The list.
    auto* list = new QVBoxLayout(m_boxAllAddedApps);
    list->setContentsMargins(0, 2, 0, 2);
    list->addWidget(m_tableViewAddedApps);

    // The two switches.
    auto* actions = new QVBoxLayout(m_boxActions);
    actions->setContentsMargins(0, 0, 0, 0);
    actions->setSpacing(0);
    actions->addWidget(optionRow(m_lblActive,
                                 makeLabel(QStringLiteral("Locked apps ask for your password."),
                                           QStringLiteral("secondary")),
                                 m_switchActive));
    // The hairline between the two starts under the labels, as in a grouped list.
    auto* between = new QWidget;
    auto* inset = new QHBoxLayout(between);
    inset->setContentsMargins(14, 0, 0, 0);
    inset->addWidget(makeHairline());
    actions->addWidget(between);
    m_lblEnableFullscreenDetail = makeLabel(QStringLiteral("Cover the whole screen while locked."),
                                            QStringLiteral("secondary"));
    actions->addWidget(
        optionRow(m_lblEnableFullscreen, m_lblEnableFullscreenDetail, m_switchEnableFullscreen));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(10);
    layout->addLayout(header);
    layout->addSpacing(2);
    layout->addWidget(m_boxAddFirstApp, 1);
    layout->addWidget(m_boxAllAddedApps, 1);
    layout->addWidget(m_boxActions);

    connect(m_btnAddFirstApp, &QPushButton::clicked, this, &HomeViewController::clickedAddFirstApp);
    connect(m_btnHeaderAdd, &QToolButton::clicked, this, &HomeViewController::clickedAddFirstApp);
    onListSwitchFlipped(*m_switchActive, this, [this](bool on) { clickedActivateVantrel(on); });
    onListSwitchFlipped(*m_switchEnableFullscreen, this,
                        [this](bool on) { clickedEnableFullscreenLockMode(on); });

    applyListStyle();
    reloadData();
}

void HomeViewController::viewWillAppear() {
    setListSwitchOn(*m_switchActive, isActivateEnabled());
    // Where the desktop does not say where windows are, a lock covers whole screens anyway.
    const Workspace* workspace = platform().workspace;
    const bool alwaysFullScreen = workspace != nullptr && !workspace->knowsWindowPlacement();
    setListSwitchOn(*m_switchEnableFullscreen,
                    alwaysFullScreen || readFlag(keys::isEnableFullscreenLockMode));
    m_switchEnableFullscreen->setEnabled(!alwaysFullScreen);
    m_lblEnableFullscreenDetail->setText(
        alwaysFullScreen
            ? QStringLiteral("Always on: this desktop does not tell where windows are.")
            : QStringLiteral("Cover the whole screen while locked."));
    QList<AppRef> selected;
    for (const AppRef& app : installedApps()) {
        if (app->isSelected)
            selected.append(app);
    }
    m_allSelectedApps = std::move(selected);
    reloadData();
}

void HomeViewController::clickedAddFirstApp() {
    Q_EMIT addRequested();
}

void HomeViewController::clickedActivateVantrel(bool isOn) {
    // A refused write leaves the old value in force: show that, not the user's wish.
    if (!writeFlag(keys::isActivateVTR, isOn))
        setListSwitchOn(*m_switchActive, isActivateEnabled());
}

void HomeViewController::clickedEnableFullscreenLockMode(bool isOn) {
    if (!writeFlag(keys::isEnableFullscreenLockMode, isOn))
        setListSwitchOn(*m_switchEnableFullscreen, readFlag(keys::isEnableFullscreenLockMode));
}

void HomeViewController::clickedRemoveRowWithSender(int tag) {
    if (tag < 0 || tag >= m_allSelectedApps.size())
        return;
    const QString identifier = m_allSelectedApps.at(tag)->bundleID;
    // The row stays when the store refused the change: the application is still locked.
    if (!removeSavedId(identifier))
        return;
    m_allSelectedApps.removeIf(
        [&identifier](const AppRef& app) { return app->bundleID == identifier; });
    reloadData();
}

ListAppCell* HomeViewController::cellForRow(int row) const {
    return qobject_cast<ListAppCell*>(m_tableViewAddedApps->cellAt(row));
}

void HomeViewController::setHeaderButtonsVisible(bool visible) {
    m_btnHeaderAdd->setVisible(visible);
}

void HomeViewController::showEvent(QShowEvent* event) {
    ListScreen::showEvent(event);
    // A window brought back by the desktop is not a new showing of the screen.
    if (!event->spontaneous())
        viewWillAppear();
}

void HomeViewController::restyle() {
    m_btnHeaderAdd->setIcon(plusGlyph(colors().accent));
    m_imageEmpty->setPixmap(emptyListArt(colors().accent)
                                .pixmap(QSize(emptyArtSide, emptyArtSide), devicePixelRatioF()));
    m_tableViewAddedApps->setSeparatorColor(colors().separator);
}

// Rebuilds every row (their remove buttons carry the row index) and shows the empty state
// exactly when there is no row.
void HomeViewController::reloadData() {
    m_tableViewAddedApps->clearRows();
    for (int row = 0; row < m_allSelectedApps.size(); ++row) {
        m_tableViewAddedApps->appendRow(makeAppCell(
            *m_allSelectedApps.at(row), this, [this, row] { clickedRemoveRowWithSender(row); }));
    }
    const bool empty = m_allSelectedApps.isEmpty();
    m_boxAddFirstApp->setVisible(empty);
    m_boxAllAddedApps->setVisible(!empty);
    m_lblSubtitle->setText(lockedCountText(m_allSelectedApps.size()));
}

} // namespace vantrel
