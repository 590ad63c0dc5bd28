#include "platform/x11/input_hold.h"

#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace vantrel {
namespace {

using namespace std::chrono_literals;

// What the display server was asked, and from which thread.
class RecordingGrabs final : public InputGrabs {
public:
    struct Release {
        std::uint32_t target;
        std::thread::id thread;
    };

    bool freeze() override {
        const std::lock_guard lock(m_mutex);
        ++m_freezes;
        return m_freezable;
    }
    void release(std::uint32_t keyboardTarget) override {
        const std::lock_guard lock(m_mutex);
        m_releases.push_back({keyboardTarget, std::this_thread::get_id()});
    }

    void refuseFreezing() { m_freezable = false; }
    int freezes() const {
        const std::lock_guard lock(m_mutex);
        return m_freezes;
    }
    std::vector<Release> releases() const {
        const std::lock_guard lock(m_mutex);
        return m_releases;
    }
    // Waits for the count of releases to reach n, for far longer than any deadline here.
    bool awaitReleases(std::size_t n) const {
        const auto giveUp = std::chrono::steady_clock::now() + 10s;
        while (releases().size() < n) {
            if (std::chrono::steady_clock::now() > giveUp)
                return false;
            std::this_thread::sleep_for(2ms);
        }
        return true;
    }

private:
    mutable std::mutex m_mutex;
    bool m_freezable = true;
    int m_freezes = 0;
    std::vector<Release> m_releases;
};

TEST(InputHold, ThawLetsTheHeldInputGoToTheKeyboardTargetOnce) {
    RecordingGrabs grabs;
    InputHold hold(grabs, 10s);
    hold.freeze();
    hold.freeze(); // a second cause while frozen changes nothing
    EXPECT_TRUE(hold.isFrozen());
    EXPECT_EQ(grabs.freezes(), 1);

    hold.setKeyboardTarget(0x2a00007);
    hold.thaw();
    hold.thaw();
    EXPECT_FALSE(hold.isFrozen());
    ASSERT_EQ(grabs.releases().size(), 1u);
    EXPECT_EQ(grabs.releases()[0].target, 0x2a00007u);
    EXPECT_EQ(grabs.releases()[0].thread, std::this_thread::get_id());
    EXPECT_EQ(hold.expiredHolds(), 0);
}

TEST(InputHold, AFreezeTheServerRefusedHoldsNothingAndReleasesNothing) {
    RecordingGrabs grabs;
    grabs.refuseFreezing();
    InputHold hold(grabs, 10s);
    hold.freeze();
    EXPECT_FALSE(hold.isFrozen());
    hold.thaw();
    EXPECT_TRUE(grabs.releases().empty());
}

TEST(InputHold, AStuckThreadNeverHoldsInputPastTheDeadline) {
    RecordingGrabs grabs;
    InputHold hold(grabs, 50ms);
    hold.setKeyboardTarget(77);
    hold.freeze();
    // This thread is now "stuck": it never thaws. The watchdog lets go on its own.
    ASSERT_TRUE(grabs.awaitReleases(1));
    EXPECT_FALSE(hold.isFrozen());
    EXPECT_EQ(hold.expiredHolds(), 1);
    EXPECT_EQ(grabs.releases()[0].target, 77u);
    EXPECT_NE(grabs.releases()[0].thread, std::this_thread::get_id());

    // The late thaw of the stuck thread finds nothing left to release.
    hold.thaw();
    EXPECT_EQ(grabs.releases().size(), 1u);
}

TEST(InputHold, EachFreezeHasADeadlineOfItsOwn) {
    RecordingGrabs grabs;
    // Margins of over half a second either way: a busy machine oversleeps, never undersleeps.
    InputHold hold(grabs, 2s);
    hold.freeze();
    std::this_thread::sleep_for(1200ms);
    hold.thaw();
    hold.freeze();
    // Past the first freeze's deadline, within the second's: the watchdog cannot release early.
    std::this_thread::sleep_for(1200ms);
    EXPECT_TRUE(hold.isFrozen());
    EXPECT_EQ(grabs.releases().size(), 1u);
    ASSERT_TRUE(grabs.awaitReleases(2));
    EXPECT_EQ(hold.expiredHolds(), 1);
}

TEST(InputHold, GoingAwayLetsGoOfWhatIsHeld) {
    RecordingGrabs grabs;
    {
        InputHold hold(grabs, 10s);
        hold.freeze();
    }
    EXPECT_EQ(grabs.releases().size(), 1u);
}

} // namespace
} // namespace vantrel
