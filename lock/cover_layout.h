#pragma once

#include "platform/window_list.h"

#include <optional>
#include <QList>
#include <QRect>

namespace vantrel {

// What the covers of locked applications are placed from. Window bounds count from the main
// screen's top left corner, as the window list gives them; everything else is in global
// coordinates (origin the top left of the virtual desktop).
struct CoverFacts {
    QList<WindowDescription> windows;      // on screen, front-most first
    QList<WindowOwner> lockedApplications; // applications none of whose windows may show
    std::optional<QRect> prompt;           // where the lock window with the prompt stands, when up
    bool fullScreenMode = false; // the prompt takes a whole screen; the others are covered
    QPointF mainScreenOrigin;
    QList<QRectF> screens;     // every screen
    QList<quint64> ownWindows; // the prompt and the covers now shown
};

// One plain cover, the application of the window it hides and that window (0 for a whole screen).
struct Cover {
    QRect geometry;
    WindowOwner owner;
    quint64 windowId = 0;
    friend bool operator==(const Cover&, const Cover&) = default;
};

struct CoverPlan {
    QList<Cover> covers;
    // A locked window stands in front of one of this program's windows over it.
    bool raise = false;
};

// The plain covers: one over every window of a locked application that the prompt does not hide,
// and
// in full-screen mode one over every screen but the prompt's.
CoverPlan planCovers(const CoverFacts& facts);

// Window bounds from the window list in global coordinates, whole pixels outwards.
QRect globalWindowRect(const QRectF& bounds, QPointF mainScreenOrigin);

} // namespace vantrel
