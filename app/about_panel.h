#pragma once

class QWidget;

namespace vantrel {

// The program's About panel: its picture, name, version and a link to the support page. Made
// once; showing it again raises the same window.
QWidget* aboutPanel();
void showAboutPanel();

} // namespace vantrel
