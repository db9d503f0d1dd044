#include "launch/RestartChain.h"

#include <limits>

namespace {

// Digits only: a sign, a space or an overflow makes the whole value malformed.
bool ParseDecimal(const std::wstring& text, unsigned long long& value) {
    if (text.empty()) {
        return false;
    }
    value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return false;
        }
        const unsigned digit = static_cast<unsigned>(c - L'0');
        if (value > (std::numeric_limits<unsigned long long>::max() - digit) / 10) {
            return false;
        }
        value = value * 10 + digit;
    }
    return true;
}

struct RestartChain {
    unsigned long long restarts = 0;
    unsigned long long firstRestart = 0;
};

bool ParseRestartChain(const std::wstring& text, RestartChain& chain) {
    const size_t comma = text.find(L',');
    return comma != std::wstring::npos && ParseDecimal(text.substr(0, comma), chain.restarts) &&
           ParseDecimal(text.substr(comma + 1), chain.firstRestart);
}

std::wstring FormatRestartChain(unsigned long long restarts, unsigned long long firstRestart) {
    return std::to_wstring(restarts) + L"," + std::to_wstring(firstRestart);
}

}  // namespace

RestartDecision DecideRestart(const std::wstring& inheritedChain, unsigned long long now) {
    RestartChain chain;
    // A time in the future (the clock was set back, or the value was made up)
    // cannot tell how long ago the chain began, so it starts afresh.
    const bool inWindow = ParseRestartChain(inheritedChain, chain) && chain.firstRestart <= now &&
                          now - chain.firstRestart <= kRestartWindow;
    RestartDecision decision;
    if (!inWindow) {
        decision.restart = true;
        decision.chainForNextCopy = FormatRestartChain(1, now);
    } else if (chain.restarts < kMostRestartsInWindow) {
        decision.restart = true;
        decision.chainForNextCopy = FormatRestartChain(chain.restarts + 1, chain.firstRestart);
    }
    return decision;
}
