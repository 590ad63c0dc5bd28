#pragma once

#include "platform/running_application.h"
#include "platform/window_list.h"

#include <QList>
#include <QObject>
#include <QRect>
#include <QSet>

namespace vantrel {

class AppLockerWindow;
class CoverWindow;

// Keeps every window of a locked application covered: moves the lock window with the window it
// stands over, puts plain covers over the application's other windows and over those of other
// locked applications (and over the other screens in full-screen mode), and puts its windows
// back on top, in place and on screen when anything else changes them.
class LockCovers final : public QObject {
    Q_OBJECT

public:
    explicit LockCovers(AppLockerWindow* lockWindow, QObject* parent = nullptr);
    ~LockCovers() override;

    // Lays everything out again from the desktop as it is now.
    void refresh() { layOut(false); }
    // The same after the desktop changed its windows; a lock window whose application has no
    // window left on screen (quit, minimised, on another desktop) goes, to come back with it.
    void windowsChanged();
    // The window of the asked-for application the lock window stands over, while it is on
    // screen; 0 for its front-most one.
    void preferWindow(quint64 window) { m_preferredWindow = window; }

    const QList<CoverWindow*>& covers() const { return m_covers; }

private:
    struct Placed {
        QRect geometry;
    };

    // Closes a lock window left with nothing to stand over and shows one for a locked window
    // that came back, when the desktop changed its windows.
    void layOut(bool windowsChanged);
    RunningApplicationRef layOutOnce(bool windowsChanged);
    void placePrompt(const QRect& geometry);
    CoverWindow* coverAt(qsizetype index);
    void watchScreens();
    void onCoverClicked(const WindowOwner& owner, quint64 hiddenWindow);

    AppLockerWindow* m_lockWindow;
    QList<CoverWindow*> m_covers;
    Placed m_prompt;
    QList<Placed> m_placed; // beside m_covers
    bool m_refreshing = false;
    quint64 m_preferredWindow = 0;
    // The locked applications' windows on screen at the last layout, under the lock window or a
    // plain cover.
    QSet<quint64> m_lockedOnScreen;
    // The lock window stands over a window of its application (not yet at a launch).
    bool m_promptOverWindow = false;
};

// Lays the lock's windows out again, once the lock window exists.
void refreshLockCovers();
// The same when the desktop's windows changed.
void followWindowChanges();

} // namespace vantrel
