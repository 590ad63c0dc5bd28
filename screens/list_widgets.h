#pragma once

// The list screens reach the shared switch, application cell and help bubble through these few
// calls, so that the screens and their tests read the same whatever a control's own interface.

#include "controls/crv_switch.h"
#include "screens/app_cell_view.h"

#include <functional>
#include <QIcon>
#include <QString>

class QAbstractButton;
class QObject;
class QWidget;

namespace vantrel {

class App;

using ListSwitch = CRVSwitch;
using ListAppCell = AppCellView;

ListSwitch* makeListSwitch(QWidget* parent);
bool listSwitchIsOn(const ListSwitch& control);
// Shows the value without animation and without reporting a change.
void setListSwitchOn(ListSwitch& control, bool on);
// Called with the new value when, and only when, the user changed it.
void onListSwitchFlipped(ListSwitch& control, QObject* context, std::function<void(bool)> handler);

ListAppCell* makeListAppCell(QWidget* parent);
// A cell showing the application (its own icon, or one drawn from its name) and whether it is
// locked; a click on its button calls `clicked` while `context` lives.
ListAppCell* makeAppCell(const App& app, QObject* context, std::function<void()> clicked);
// Fills the cell; selected shows the remove image, otherwise the add image.
void showAppInCell(ListAppCell& cell, const QIcon& icon, const QString& name, bool selected);
void showCellSelected(ListAppCell& cell, bool selected);
QAbstractButton* cellButton(const ListAppCell& cell);

// The shared help bubble at the anchor's right-hand side.
void showHelpToolTip(QWidget* anchor, const QString& message);

} // namespace vantrel
