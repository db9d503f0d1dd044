#ifndef QUILO_TESTS_UIA_RUNTIMEKEEPING_H
#define QUILO_TESTS_UIA_RUNTIMEKEEPING_H

// "Nothing lost": whatever a scenario does to the launcher, the main
// application must survive it. Every install directory a launcher is started
// in is remembered together with what it held at that moment; after the
// scenario (its processes ended) each one must still hold the runtime
// executable under its parked or its live name, or a data store the bridge
// can rebuild it from.
//
// Rebuildable means: the data store is still there, byte for byte as it was
// when the launcher was started. The launcher never writes the store; the
// rebuild reads nothing else of the install directory but the store and the
// bridge's own libraries, so a store that is unchanged can rebuild whatever
// it could rebuild before the scenario. (Whether a given store can rebuild at
// all is the bridge's business and is covered by the bridge's own tests.)

#include <string>

// Called when a launcher is started in `directory` (the first start counts).
void RememberLauncherStart(const std::wstring& directory);
// A scenario that removes the runtime executable and the store on purpose.
void AllowRuntimeLoss(const std::wstring& directory);
// Checks every remembered directory (gtest failures) and forgets them all.
void ExpectNothingLost();

#endif
