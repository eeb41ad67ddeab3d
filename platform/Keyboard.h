#pragma once

#include <array>
#include <optional>

// The lock keys whose state the status bar shows.
enum class LockKey { Caps, Num, Scroll };

// Whether each lock key (in LockKey order) is on, where the windowing system tells it; nothing for a
// key whose state it does not tell.
std::array<std::optional<bool>, 3> LockKeyStates();

// While a LockKeyScript exists, the states come from it (for tests).
class LockKeyScript {
public:
    LockKeyScript();
    ~LockKeyScript();
    LockKeyScript(const LockKeyScript&) = delete;
    LockKeyScript& operator=(const LockKeyScript&) = delete;
    std::array<std::optional<bool>, 3> states;
};
