#pragma once

#include <QTabBar>

namespace vantrel {

// The tabs of the preferences window as a toolbar: each tab a glyph over its label, centred on a
// strip across the top of the window, the current one highlighted.
class PreferencesTabBar final : public QTabBar {
    Q_OBJECT

public:
    explicit PreferencesTabBar(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;
};

// The glyph of the "General" tab: a gear, in a square of this side.
QPainterPath gearGlyph(double side);

} // namespace vantrel
