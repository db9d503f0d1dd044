#ifndef QUILO_PRODUCT_REFERENCE_BRIDGE_BRIDGESTATUS_H
#define QUILO_PRODUCT_REFERENCE_BRIDGE_BRIDGESTATUS_H

// The status answer of the reference bridge (slot 1), which the launcher turns
// into its online flag. This bridge has no service to ask, so it answers 1
// when its component library's data-store engine works and 0 with the
// engine's error text when it does not.
//
// The environment variable CSVARN_STATUS, when set, decides instead, so that
// the launcher's online and offline paths can be exercised: "1" answers 1, "0"
// answers 0, any other value answers 0 with the error text
// "status unavailable: CSVARN_STATUS=<value>".

#include <string>

struct StatusAnswer {
    int value = 0;
    std::string error;  // empty: no error text
};

constexpr const wchar_t kStatusOverrideVariable[] = L"CSVARN_STATUS";

StatusAnswer DecideStatus(bool hasOverride, const std::string& overrideValue, bool engineReady,
                          const std::string& engineError);

// Reads the override and asks the component library.
StatusAnswer QueryBridgeStatus();

#endif
