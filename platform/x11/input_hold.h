#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace vantrel {

// The display server's side of holding input: a frozen grab holds every key and click the user
// makes in the server, in order, until released.
class InputGrabs {
public:
    virtual ~InputGrabs() = default;

    // Freezes the keyboard, and the pointer where no one else holds it; false when the keyboard
    // could not be frozen (another program holds it).
    virtual bool freeze() = 0;
    // Lets everything held go: keys to the target window when it is non-zero (which keeps them
    // from then on), else to the focus; clicks to wherever the pointer is. Called on the thread
    // that made the hold or on the watchdog's, never on both at once.
    virtual void release(std::uint32_t keyboardTarget) = 0;
};

// Holds the user's keys and clicks while the desktop takes on a window, so that whoever handles
// the change decides where they go. A watchdog thread lets them go at the deadline whatever the
// thread that froze them is doing: a program stuck in a read must never take the session's
// keyboard with it.
class InputHold {
public:
    explicit InputHold(InputGrabs& grabs,
                       std::chrono::milliseconds deadline = std::chrono::milliseconds(200));
    ~InputHold();
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

    // Freezes unless frozen already; the deadline counts from the first freeze.
    void freeze();
    // Lets go whatever is held, into the keyboard target.
    void thaw();
    bool isFrozen() const;
    std::chrono::milliseconds deadline() const { return m_deadline; }

    // Where held keys go at the thaw; 0 for wherever the focus is then.
    void setKeyboardTarget(std::uint32_t window);
    std::uint32_t keyboardTarget() const;

    // How many holds the watchdog ended; the thread that froze them was late.
    int expiredHolds() const;

private:
    void watch();

    InputGrabs& m_grabs;
    const std::chrono::milliseconds m_deadline;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_frozen = false;
    bool m_stopping = false;
    std::uint64_t m_generation = 0;
    std::chrono::steady_clock::time_point m_expires;
    std::uint32_t m_keyboardTarget = 0;
    int m_expired = 0;
    std::thread m_watchdog;
};

} // namespace vantrel
