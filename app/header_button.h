#pragma once

#include <QAbstractButton>

namespace vantrel {

// A borderless toolbar button of the popover's header that draws its glyph as vector art in the
// theme's text colour, with a rounded highlight under the mouse.
class HeaderButton : public QAbstractButton {
    Q_OBJECT

public:
    enum class Glyph { back, add, menu };

    HeaderButton(Glyph glyph, const QString& accessibleName, QWidget* parent = nullptr);

    Glyph glyph() const { return m_glyph; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    Glyph m_glyph;
    bool m_keyboardFocus = false; // a ring only when the user tabbed here
};

} // namespace vantrel
