#pragma once

#include "screens/list_style.h"

#include <QWidget>

class QFrame;
class QLabel;
class QToolButton;

namespace vantrel {

// What the two list screens share: the look taken from the palette and renewed when the
// palette changes (light and dark appearance), and the parts both are built of.
class ListScreen : public QWidget {
    Q_OBJECT

public:
    explicit ListScreen(QWidget* parent = nullptr);

    // The popover is about this wide.
    static constexpr int preferredWidth = 360;
    static constexpr int preferredHeight = 520;
    QSize sizeHint() const override { return {preferredWidth, preferredHeight}; }

protected:
    const ListColors& colors() const { return m_colors; }
    // Applies the palette's colours now; the screens call it once their widgets exist.
    void applyListStyle();
    // Colours what the style sheet cannot reach (drawn glyphs, the list's hairlines).
    virtual void restyle() {}
    void changeEvent(QEvent* event) override;

    static QFrame* makeCard();
    static QFrame* makeHairline();
    static QLabel* makeLabel(const QString& text, const QString& role);
    static QToolButton* makeIconButton(const QString& role, const QString& accessibleName);

private:
    ListColors m_colors;
    QRgb m_styledWindow = 0;
    QRgb m_styledText = 0;
    bool m_styled = false;
};

} // namespace vantrel
