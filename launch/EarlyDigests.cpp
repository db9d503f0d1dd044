#include "launch/EarlyDigests.h"

#include "launch/RuntimeFiles.h"
#include "util/Paths.h"

namespace {

std::wstring RuntimeFileToRead(const std::wstring& installDirectory) {
    const std::wstring parkedPath = CombinePath(installDirectory, kParkedRuntimeName);
    return FileExists(parkedPath) ? parkedPath : CombinePath(installDirectory, kLiveRuntimeName);
}

}  // namespace

EarlyDigests::EarlyDigests(const std::wstring& installDirectory)
    : dataStore(CombinePath(installDirectory, kDataStoreName)),
      runtime(RuntimeFileToRead(installDirectory)) {}

void EarlyDigests::Stop() {
    runtime.Stop();
    dataStore.Stop();
}
