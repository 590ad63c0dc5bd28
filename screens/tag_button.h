#pragma once

#include <QAbstractButton>
#include <QMetaObject>

namespace vantrel {

// An image button that carries a number, the row it belongs to, and one target and action: a
// reused cell gets a new row, and the screen wires the button again for it.
class TagButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit TagButton(QWidget* parent = nullptr);

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // Replaces the button's action: a click calls (target->*selector)(this).
    template <class Target>
    void setTarget(Target* target, void (Target::*selector)(TagButton* sender)) {
        disconnect(m_action);
        m_action = connect(this, &QAbstractButton::clicked, target,
                           [this, target, selector] { (target->*selector)(this); });
    }
    void clearTarget() { disconnect(m_action); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_tag = 0;
    QMetaObject::Connection m_action;
};

} // namespace vantrel
