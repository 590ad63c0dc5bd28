#include "app/placeholder_screens.h"

#include "app/storyboard.h"
#include "screens/popover_style.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vantrel {

PlaceholderScreen::PlaceholderScreen(const QString& title, QWidget* parent)
    : QWidget(parent) {
    const style::PopoverColors colors = style::popoverColors(palette());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    auto* heading = new QLabel(title, this);
    heading->setFont(style::systemFont(17, QFont::DemiBold));
    heading->setAlignment(Qt::AlignCenter);
    heading->setStyleSheet(QStringLiteral("color: %1;").arg(style::cssColor(colors.text)));
    auto* note = new QLabel(tr("Placeholder screen"), this);
    note->setFont(style::systemFont(12));
    note->setAlignment(Qt::AlignCenter);
    note->setStyleSheet(QStringLiteral("color: %1;").arg(style::cssColor(colors.secondaryText)));
    layout->addStretch();
    layout->addWidget(heading);
    layout->addWidget(note);
    layout->addStretch();
}

PlaceholderHomeViewController::PlaceholderHomeViewController(QWidget* parent)
    : PlaceholderScreen(tr("Locked Applications"), parent) {
    setObjectName(QStringLiteral("HomeViewController"));
}

PlaceholderAddAppViewController::PlaceholderAddAppViewController(QWidget* parent)
    : PlaceholderScreen(tr("Add Applications"), parent) {
    setObjectName(QStringLiteral("AddAppViewController"));
}

void registerPlaceholderScreens() {
    storyboard::registerController(QStringLiteral("HomeViewController"),
                                   [] { return new PlaceholderHomeViewController; });
    storyboard::registerController(QStringLiteral("AddAppViewController"),
                                   [] { return new PlaceholderAddAppViewController; });
}

} // namespace vantrel
