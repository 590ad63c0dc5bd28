#include "platform/x11/input_hold.h"

namespace vantrel {

InputHold::InputHold(InputGrabs& grabs, std::chrono::milliseconds deadline)
    : m_grabs(grabs)
    , m_deadline(deadline)
    , m_watchdog([this] { watch(); }) {}

InputHold::~InputHold() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_watchdog.join();
    thaw();
}

void InputHold::freeze() {
    {
        // The grab goes out under the lock, so a release by the watchdog can never overtake it.
        const std::lock_guard lock(m_mutex);
        if (m_frozen || !m_grabs.freeze())
            return;
        m_frozen = true;
        ++m_generation;
        m_expires = std::chrono::steady_clock::now() + m_deadline;
    }
    m_changed.notify_all();
}

void InputHold::thaw() {
    {
        const std::lock_guard lock(m_mutex);
        if (!m_frozen)
            return;
        m_frozen = false;
        m_grabs.release(m_keyboardTarget);
    }
    m_changed.notify_all();
}

bool InputHold::isFrozen() const {
    const std::lock_guard lock(m_mutex);
    return m_frozen;
}

void InputHold::setKeyboardTarget(std::uint32_t window) {
    const std::lock_guard lock(m_mutex);
    m_keyboardTarget = window;
}

std::uint32_t InputHold::keyboardTarget() const {
    const std::lock_guard lock(m_mutex);
    return m_keyboardTarget;
}

int InputHold::expiredHolds() const {
    const std::lock_guard lock(m_mutex);
    return m_expired;
}

void InputHold::watch() {
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (!m_frozen) {
            m_changed.wait(lock, [this] { return m_stopping || m_frozen; });
            continue;
        }
        const std::uint64_t generation = m_generation;
        const bool thawed = m_changed.wait_until(
            lock, m_expires, [&] { return m_stopping || !m_frozen || m_generation != generation; });
        if (!thawed) {
            m_frozen = false;
            ++m_expired;
            m_grabs.release(m_keyboardTarget);
        }
    }
}

} // namespace vantrel
