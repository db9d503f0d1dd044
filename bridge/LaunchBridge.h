#ifndef QUILO_BRIDGE_LAUNCHBRIDGE_H
#define QUILO_BRIDGE_LAUNCHBRIDGE_H

// The bridge as the launch uses it: whether it is there, and the rebuild of the
// main application's executable from the data store. The bridge host is one;
// tests put a fake in its place, with no library at all.

#include <string>

class LaunchBridge {
public:
    virtual bool IsLoaded() const = 0;
    // Writes `targetFileName` into `targetDirectory` from the store's record;
    // false with the bridge's own error text.
    virtual bool RegenerateRuntime(const std::wstring& storePath, const std::wstring& storePassword,
                                   const std::wstring& recordName, const std::wstring& fieldName,
                                   const std::wstring& targetDirectory, const std::wstring& targetFileName,
                                   std::wstring& error) = 0;

protected:
    ~LaunchBridge() = default;
};

#endif
