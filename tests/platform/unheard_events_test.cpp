#include "platform/x11/unheard_events.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using Clock = UnheardEvents::Clock;

// The sentinel usually sees a map first and the main thread hears of it a few milliseconds later,
// but either may come first; what the main thread never hears must not hold input for good.
TEST(UnheardEvents, AnEventIsUnheardUntilTheOtherSideHearsItWhicheverComesFirst) {
    const Clock::time_point start;
    UnheardEvents events(250ms);
    events.seen(1, start);
    EXPECT_TRUE(events.any(start + 5ms));
    events.heard(1, start + 5ms);
    EXPECT_FALSE(events.any(start + 5ms));

    // Heard first: the sighting that follows only balances it.
    events.heard(2, start + 10ms);
    events.seen(2, start + 12ms);
    EXPECT_FALSE(events.any(start + 12ms));
}

TEST(UnheardEvents, WindowsAreCountedApartAndEachMapCounts) {
    const Clock::time_point start;
    UnheardEvents events(250ms);
    events.seen(1, start);
    events.seen(1, start + 1ms); // mapped, then focused
    events.heard(2, start + 2ms);
    events.heard(1, start + 3ms);
    EXPECT_TRUE(events.any(start + 3ms)) << "another window's event settled this one's";
    events.heard(1, start + 4ms);
    EXPECT_FALSE(events.any(start + 4ms));
}

TEST(UnheardEvents, WhatOneSideAloneSawIsForgottenAfterTheLifetime) {
    const Clock::time_point start;
    UnheardEvents events(250ms);
    events.seen(1, start);
    EXPECT_TRUE(events.any(start + 250ms));
    EXPECT_FALSE(events.any(start + 251ms));

    // A stale hearing does not cancel a later sighting of the same window.
    events.heard(3, start);
    events.seen(3, start + 300ms);
    EXPECT_TRUE(events.any(start + 300ms));
}

} // namespace
} // namespace vantrel
