#include "app/message_box_alerts.h"

#include <QList>
#include <QMessageBox>
#include <QPushButton>

namespace vantrel {
namespace {

QMessageBox::Icon iconFor(AlertStyle style) {
    switch (style) {
    case AlertStyle::Informational:
        return QMessageBox::Information;
    case AlertStyle::Critical:
        return QMessageBox::Critical;
    case AlertStyle::Warning:
        break;
    }
    return QMessageBox::Warning;
}

} // namespace

int MessageBoxAlerts::runModal(const AlertRequest& request) {
    QMessageBox box;
    box.setIcon(iconFor(request.style));
    box.setText(request.messageText);
    box.setInformativeText(request.informativeText);

    // An alert always has a button to answer with.
    const QStringList titles =
        request.buttonTitles.isEmpty() ? QStringList{QStringLiteral("OK")} : request.buttonTitles;
    QList<QPushButton*> buttons;
    for (const QString& title : titles) {
        // One role for all keeps them in the order given.
        buttons.append(box.addButton(title, QMessageBox::ActionRole));
    }
    box.setDefaultButton(buttons.first());
    box.setEscapeButton(buttons.last());

    box.exec();
    qsizetype index = buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    if (index < 0)
        index = buttons.size() - 1;
    return FirstButtonReturn + static_cast<int>(index);
}

} // namespace vantrel
