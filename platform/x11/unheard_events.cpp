#include "platform/x11/unheard_events.h"

#include <algorithm>
#include <iterator>

namespace vantrel {

void UnheardEvents::count(std::uint32_t window, int events, Clock::time_point now) {
    for (auto it = m_balances.begin(); it != m_balances.end();) {
        it = now - it->second.since > m_lifetime ? m_balances.erase(it) : std::next(it);
    }
    Balance& balance = m_balances[window];
    balance.events += events;
    balance.since = now;
    if (balance.events == 0) {
        m_balances.erase(window);
    }
}

bool UnheardEvents::any(Clock::time_point now) const {
    return std::any_of(m_balances.cbegin(), m_balances.cend(), [&](const auto& entry) {
        return entry.second.events > 0 && now - entry.second.since <= m_lifetime;
    });
}

} // namespace vantrel
