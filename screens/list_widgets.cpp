#include "screens/list_widgets.h"

#include "controls/show_tool_tip.h"
#include "screens/image_view.h"
#include "screens/list_art.h"
#include "screens/tag_button.h"
#include "store/app.h"

#include <QCoreApplication>

namespace vantrel {

ListSwitch* makeListSwitch(QWidget* parent) {
    auto* control = new CRVSwitch(parent);
    control->setCursor(Qt::PointingHandCursor);
    return control;
}

bool listSwitchIsOn(const ListSwitch& control) {
    return control.isOn();
}

void setListSwitchOn(ListSwitch& control, bool on) {
    control.setOn(on, false);
}

void onListSwitchFlipped(ListSwitch& control, QObject* context, std::function<void(bool)> handler) {
    QObject::connect(
        &control, &CRVSwitch::action, context,
        [handler = std::move(handler)](CRVSwitch* sender) { handler(sender->isOn()); });
}

ListAppCell* makeListAppCell(QWidget* parent) {
    return new AppCellView(parent);
}

ListAppCell* makeAppCell(const App& app, QObject* context, std::function<void()> clicked) {
    const QString name = app.displayName().value_or(QString());
    const QIcon icon = app.icon();
    ListAppCell* cell = makeListAppCell(nullptr);
    showAppInCell(*cell, icon.isNull() ? placeholderAppIcon(name) : icon, name, app.isSelected);
    QObject::connect(cellButton(*cell), &QAbstractButton::clicked, context, std::move(clicked));
    return cell;
}

void showAppInCell(ListAppCell& cell, const QIcon& icon, const QString& name, bool selected) {
    cell.imageApp()->setImage(icon);
    cell.lblAppName()->setText(name);
    showCellSelected(cell, selected);
}

void showCellSelected(ListAppCell& cell, bool selected) {
    TagButton* button = cell.btnAddRemove();
    button->setIcon(selected ? redMinusImage() : greenAddImage());
    const QString role = selected
                             ? QCoreApplication::translate("AppCellView", "Remove from locked apps")
                             : QCoreApplication::translate("AppCellView", "Lock this app");
    button->setToolTip(role);
    button->setAccessibleName(role);
}

QAbstractButton* cellButton(const ListAppCell& cell) {
    return cell.btnAddRemove();
}

void showHelpToolTip(QWidget* anchor, const QString& message) {
    showToolTip(anchor, message, RectEdge::MaxX);
}

} // namespace vantrel
