#include "app/about_panel.h"

#include "app/web_links.h"
#include "resources/popover_images.h"
#include "screens/popover_style.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantrel {
namespace {

QString versionText() {
    QString version = QCoreApplication::applicationVersion();
    if (version.isEmpty())
        version = QStringLiteral(VANTREL_VERSION);
    return QCoreApplication::translate("AboutPanel", "Version %1").arg(version);
}

QWidget* makeAboutPanel() {
    auto* panel = new QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                           Qt::WindowCloseButtonHint);
    panel->setObjectName(QStringLiteral("aboutPanel"));
    panel->setWindowTitle(QCoreApplication::translate("AboutPanel", "About Vantrel"));
    panel->setWindowIcon(popoverImage(QStringLiteral("vantrel_badge")));
    const style::PopoverColors colors = style::popoverColors(panel->palette());
    panel->setStyleSheet(QStringLiteral("QWidget#aboutPanel { background: %1; }"
                                        "QLabel { color: %2; }"
                                        "QLabel#secondary { color: %3; }"
                                        "QPushButton { color: %4; background: transparent;"
                                        "  border: none; padding: 2px 6px; }"
                                        "QPushButton:hover { text-decoration: underline; }")
                             .arg(style::cssColor(colors.card), style::cssColor(colors.text),
                                  style::cssColor(colors.secondaryText),
                                  style::cssColor(colors.accent)));

    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(36, 28, 36, 22);
    layout->setSpacing(0);
    auto* picture = new QLabel(panel);
    picture->setPixmap(
        popoverPixmap(QStringLiteral("vantrel_badge"), 84, panel->devicePixelRatioF()));
    layout->addWidget(picture, 0, Qt::AlignHCenter);
    layout->addSpacing(12);
    auto* name = new QLabel(QStringLiteral("Vantrel"), panel);
    name->setFont(style::systemFont(20, QFont::DemiBold));
    layout->addWidget(name, 0, Qt::AlignHCenter);
    layout->addSpacing(4);
    auto* version = new QLabel(versionText(), panel);
    version->setObjectName(QStringLiteral("secondary"));
    version->setFont(style::systemFont(12));
    layout->addWidget(version, 0, Qt::AlignHCenter);
    layout->addSpacing(14);
    auto* copyright = new QLabel(
        QCoreApplication::translate("AboutPanel", "© Corvane. All rights reserved."), panel);
    copyright->setObjectName(QStringLiteral("secondary"));
    copyright->setFont(style::systemFont(11));
    layout->addWidget(copyright, 0, Qt::AlignHCenter);
    layout->addSpacing(10);
    auto* support =
        new QPushButton(QCoreApplication::translate("AboutPanel", "Help && Support"), panel);
    support->setFont(style::systemFont(12));
    support->setCursor(Qt::PointingHandCursor);
    QObject::connect(support, &QPushButton::clicked, panel,
                     [] { openWebAddress(links::supportPage()); });
    layout->addWidget(support, 0, Qt::AlignHCenter);
    panel->setFixedSize(panel->sizeHint().expandedTo(QSize(300, 0)));
    return panel;
}

} // namespace

QWidget* aboutPanel() {
    static QWidget* const panel = makeAboutPanel();
    return panel;
}

void showAboutPanel() {
    QWidget* panel = aboutPanel();
    panel->show();
    panel->raise();
    panel->activateWindow();
}

} // namespace vantrel
