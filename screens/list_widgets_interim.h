#pragma once

// The list screens reach the shared switch, application cell and help tooltip only through the
// calls below. Until the shared controls exist these are small local stand-ins; to move to the
// shared ones, change this file and its .cpp alone.

#include <functional>
#include <QCheckBox>
#include <QIcon>
#include <QString>
#include <QWidget>

class QAbstractButton;
class QLabel;
class QToolButton;

namespace vantrel {

// An on/off switch drawn as a track with a knob; clicking anywhere on it flips it.
class InterimSwitch final : public QCheckBox {
    Q_OBJECT

public:
    explicit InterimSwitch(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;
};

// One application row: icon, name and the add/remove button.
class InterimAppCell final : public QWidget {
    Q_OBJECT

public:
    explicit InterimAppCell(QWidget* parent = nullptr);

    QLabel* imageApp() const { return m_imageApp; }
    QLabel* lblAppName() const { return m_lblAppName; }
    QToolButton* btnAddRemove() const { return m_btnAddRemove; }

private:
    QLabel* m_imageApp;
    QLabel* m_lblAppName;
    QToolButton* m_btnAddRemove;
};

using ListSwitch = InterimSwitch;
using ListAppCell = InterimAppCell;

ListSwitch* makeListSwitch(QWidget* parent);
bool listSwitchIsOn(const ListSwitch& control);
// Shows the value without animation and without reporting a change.
void setListSwitchOn(ListSwitch& control, bool on);
// Called with the new value when, and only when, the user changed it.
void onListSwitchFlipped(ListSwitch& control, QObject* context, std::function<void(bool)> handler);

ListAppCell* makeListAppCell(QWidget* parent);
// Fills the cell; selected shows the remove image, otherwise the add image.
void showAppInCell(ListAppCell& cell, const QIcon& icon, const QString& name, bool selected);
void showCellSelected(ListAppCell& cell, bool selected);
QAbstractButton* cellButton(const ListAppCell& cell);

// The shared help bubble at the anchor's right-hand side.
void showHelpToolTip(QWidget* anchor, const QString& message);

} // namespace vantrel
