#pragma once

#include <chrono>
#include <cstdint>
#include <unordered_map>

namespace vantrel {

// Events of windows that two listeners each hear, one of them usually first: which ones the first
// has seen and the other has not heard of yet. Either may come first; an event only one of them
// hears is forgotten after the lifetime. Not thread-safe: its owner guards it.
class UnheardEvents {
public:
    using Clock = std::chrono::steady_clock;

    explicit UnheardEvents(Clock::duration lifetime)
        : m_lifetime(lifetime) {}

    // The first listener saw an event of the window.
    void seen(std::uint32_t window, Clock::time_point now) { count(window, 1, now); }
    // The other listener heard of it.
    void heard(std::uint32_t window, Clock::time_point now) { count(window, -1, now); }
    // Whether an event the first listener saw is still unheard of by the other.
    bool any(Clock::time_point now) const;
    bool isPending(std::uint32_t window) const { return m_balances.count(window) > 0; }

private:
    struct Balance {
        int events = 0; // seen less heard
        Clock::time_point since;
    };

    void count(std::uint32_t window, int events, Clock::time_point now);

    Clock::duration m_lifetime;
    std::unordered_map<std::uint32_t, Balance> m_balances;
};

} // namespace vantrel
