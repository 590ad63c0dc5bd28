#include "screens/preferences_tab_view_controller.h"

#include "screens/general_preferences_vc.h"
#include "screens/preferences_tab_bar.h"

namespace vantrel {

PreferencesTabViewController::PreferencesTabViewController(QWidget* parent)
    : QTabWidget(parent)
    , m_general(new GeneralPreferencesVC) {
    setTabBar(new PreferencesTabBar);
    setDocumentMode(true);
    addTab(m_general, QStringLiteral("General"));
}

void PreferencesTabViewController::viewWillAppear() {
    if (count() > 0)
        setTabText(0, QStringLiteral("General"));
}

void PreferencesTabViewController::showEvent(QShowEvent* event) {
    QTabWidget::showEvent(event);
    viewWillAppear();
}

} // namespace vantrel
