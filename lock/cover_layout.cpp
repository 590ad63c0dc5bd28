#include "lock/cover_layout.h"

#include <algorithm>

namespace vantrel {
namespace {

// The locked application the window belongs to, if any.
const WindowOwner* lockedOwnerOf(const WindowDescription& window, const CoverFacts& facts) {
    if (!window.bounds)
        return nullptr;
    const auto owner =
        std::find_if(facts.lockedApplications.cbegin(), facts.lockedApplications.cend(),
                     [&](const WindowOwner& locked) { return locked.owns(window); });
    return owner != facts.lockedApplications.cend() ? &*owner : nullptr;
}

bool isLocked(const WindowDescription& window, const CoverFacts& facts) {
    return lockedOwnerOf(window, facts) != nullptr;
}

} // namespace

QRect globalWindowRect(const QRectF& bounds, QPointF mainScreenOrigin) {
    // Rounded outwards: a fractional edge (a scaled screen) must not leave a line uncovered.
    return bounds.translated(mainScreenOrigin).toAlignedRect();
}

CoverPlan planCovers(const CoverFacts& facts) {
    CoverPlan plan;
    QList<QRect> hiding; // what the prompt and the screen covers hide already
    if (facts.prompt) {
        hiding.append(*facts.prompt);
        if (facts.fullScreenMode) {
            // The application the prompt stands for: not one with an icon in a panel there.
            const WindowOwner owner = [&] {
                for (const WindowDescription& window : facts.windows) {
                    if (isLocked(window, facts) && !window.trayIcon &&
                        facts.prompt->intersects(
                            globalWindowRect(*window.bounds, facts.mainScreenOrigin)))
                        return *lockedOwnerOf(window, facts);
                }
                return facts.lockedApplications.value(0);
            }();
            for (const QRectF& screen : facts.screens) {
                const QRect area = screen.toAlignedRect();
                if (!facts.prompt->contains(area)) {
                    plan.covers.append({area, owner, 0});
                    hiding.append(area);
                }
            }
        }
    }

    for (const WindowDescription& window : facts.windows) {
        const WindowOwner* owner = lockedOwnerOf(window, facts);
        if (owner == nullptr)
            continue;
        QRect area = globalWindowRect(*window.bounds, facts.mainScreenOrigin);
        if (window.inTransition) {
            // A cover chasing a frame that moves every few milliseconds falls behind it.
            for (const QRectF& screen : facts.screens)
                area |= screen.toAlignedRect();
        }
        if (area.isEmpty())
            continue;
        const bool hidden = std::any_of(hiding.cbegin(), hiding.cend(),
                                        [&](const QRect& cover) { return cover.contains(area); });
        if (!hidden)
            plan.covers.append({area, *owner, window.windowId});
    }

    // Stacking: a locked window listed before one of ours that overlaps it stands in front of it.
    for (qsizetype front = 0; front < facts.windows.size() && !plan.raise; ++front) {
        const WindowDescription& window = facts.windows[front];
        if (!isLocked(window, facts))
            continue;
        const QRect area = globalWindowRect(*window.bounds, facts.mainScreenOrigin);
        for (qsizetype behind = front + 1; behind < facts.windows.size(); ++behind) {
            const WindowDescription& own = facts.windows[behind];
            if (facts.ownWindows.contains(own.windowId) && own.bounds &&
                globalWindowRect(*own.bounds, facts.mainScreenOrigin).intersects(area)) {
                plan.raise = true;
                break;
            }
        }
    }
    return plan;
}

} // namespace vantrel
