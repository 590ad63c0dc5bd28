#pragma once

#include <QAbstractButton>

namespace vantrel {

// The eye button inside a CRVSecureTextField. Checked means the password is to be shown in the
// clear; each click flips it. It draws only its eye glyph, shows the pointing hand while the
// pointer is over it, and never takes the keyboard focus.
class CRVPasswordButton final : public QAbstractButton {
    Q_OBJECT

public:
    explicit CRVPasswordButton(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {16, 16}; }

    // The desktop's increased-contrast display setting: the open eye loses its shadow. Qt offers
    // no such setting to read, so whoever knows it sets it here, for every eye button.
    static void setDisplayShouldIncreaseContrast(bool increase);
    static bool displayShouldIncreaseContrast();

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vantrel
