#pragma once

#include "controls/tool_tip_popover.h"

#include <memory>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>

namespace vantrel {

inline const QString toolTipViewControllerIdentifier = QStringLiteral("ToolTipViewController");

// The content of the help bubble: one line of explanation (wrapped when long). One instance,
// shared by every help bubble, owns the one popover they are all shown in.
class ToolTipViewController : public QObject {
    Q_OBJECT

public:
    explicit ToolTipViewController(QObject* parent = nullptr);
    ~ToolTipViewController() override;

    // Builds the view afresh (a new label), into the popover; the earlier view goes.
    void loadView();
    QWidget* view() const { return m_view; }
    QLabel* lblMessage() const { return m_lblMessage; }
    ToolTipPopover* popover() const { return m_popover.get(); }

    // Sizes the view to its message: one line when it fits, wrapped at a comfortable width
    // otherwise.
    void sizeViewToMessage();

    // The bubble has closed: the label is emptied, so a later showing shows only its own text.
    void viewDidDisappear();

private:
    std::unique_ptr<ToolTipPopover> m_popover;
    QPointer<QWidget> m_view;
    QPointer<QLabel> m_lblMessage;
};

} // namespace vantrel
