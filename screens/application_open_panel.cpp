#include "screens/application_open_panel.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>

namespace vantrel {

void configureApplicationFilter(QFileDialog& panel) {
    // Applications are their desktop entries, in any letter case; folders stay visible so that
    // they can be opened.
    panel.setNameFilter(QStringLiteral("Applications (*.desktop)"));
    panel.setFilter(panel.filter() & ~QDir::CaseSensitive);
}

std::optional<QStringList> runApplicationOpenPanel(const QString& startFolder) {
    QFileDialog panel(nullptr, QStringLiteral("Add Application"), startFolder);
    // Qt's own panel, so that the message can stand under the files on every desktop.
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.setOption(QFileDialog::ReadOnly); // no new folders
    panel.setAcceptMode(QFileDialog::AcceptOpen);
    panel.setFileMode(QFileDialog::ExistingFiles);
    configureApplicationFilter(panel);
    panel.setLabelText(QFileDialog::Accept, QStringLiteral("Add Application"));
    if (auto* grid = qobject_cast<QGridLayout*>(panel.layout())) {
        auto* message = new QLabel(QStringLiteral(
            "Vantrel will add selected applications to AppList and apply locking and unlocking"));
        message->setWordWrap(true);
        message->setContentsMargins(0, 6, 0, 0);
        grid->addWidget(message, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (panel.exec() != QDialog::Accepted)
        return std::nullopt;
    return panel.selectedFiles();
}

} // namespace vantrel
