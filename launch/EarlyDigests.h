#ifndef QUILO_LAUNCH_EARLYDIGESTS_H
#define QUILO_LAUNCH_EARLYDIGESTS_H

// The two digests the launch compares with the configuration, begun as soon
// as the install directory is known: reading the executable and the data
// store then overlaps start-up, the window's creation and each other, and
// staging and the data store's check only take the results.

#include <string>

#include "util/EarlyFileDigest.h"

struct EarlyDigests {
    explicit EarlyDigests(const std::wstring& installDirectory);

    // Begun first: the loading sequence checks the store before staging.
    EarlyFileDigest dataStore;
    // The executable under the name staging will find it: its parked copy
    // when there is one (staging moves it to the live name), else the live file.
    EarlyFileDigest runtime;

    // Neither result is wanted any more (the updater takes over the files).
    void Stop();
};

#endif
