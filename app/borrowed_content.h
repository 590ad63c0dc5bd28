#pragma once

#include <QPointer>
#include <QWidget>

namespace vantrel {

// The popover and the window without a tray both show the popover root, a shared controller's
// view that outlives them: they only borrow it.

// Gives host the layout a borrowed view sits in: no margins, the host sized after the view.
void layOutForBorrowedContent(QWidget& host);

// Shows content in host in place of what `shown` holds, which goes back hidden and unparented.
// The same content again is taken back when another host borrowed it meanwhile.
void showBorrowedContent(QWidget& host, QPointer<QWidget>& shown, QWidget* content);

} // namespace vantrel
