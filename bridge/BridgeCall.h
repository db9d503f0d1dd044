#ifndef QUILO_BRIDGE_BRIDGECALL_H
#define QUILO_BRIDGE_BRIDGECALL_H

// The launcher's half of the bridge call convention: texts the bridge hands
// out are copied to wide text and released with free (see bridge/IBridge.h).

#include <string>

// Copies a text the bridge allocated and releases the bridge's buffer; null gives empty.
std::wstring TakeBridgeText(char* text);

// Releases a text the bridge allocated without reading it.
void ReleaseBridgeText(char* text);

#endif
