#ifndef QUILO_TOOLS_PACKAGER_H
#define QUILO_TOOLS_PACKAGER_H

// The packager writes a complete install directory of the product from a
// runtime executable and a folder with the bridge libraries:
//   Quilord.da    encrypted data store holding the runtime executable
//   AppConf.ini   the two expected digests in digest-text form
//   ertmcache     the parked runtime executable
//   CsVarnApi.dll, CsVarnLab.dll and any extra files asked for.
// The store is written under a temporary name and renamed last, so a failed
// run never leaves a half-written store behind.

#include <ostream>
#include <string>
#include <vector>

constexpr const char kStorePassword[] = "73kqd_415209";
constexpr const char kStoreRecordName[] = "DatFileInfo";
constexpr const char kStoreFieldName[] = "FileDat";
constexpr const char kStoreFileName[] = "Quilord.da";
constexpr const char kConfigFileName[] = "AppConf.ini";
constexpr const char kParkedRuntimeName[] = "ertmcache";
constexpr const char kLiveRuntimeName[] = "InPrRtm.exe";
constexpr const char kBridgeLibraryName[] = "CsVarnApi.dll";
constexpr const char kComponentLibraryName[] = "CsVarnLab.dll";

// Which digest positions are written as substitutes unless told otherwise.
constexpr unsigned long kDefaultDigestMask = 0x9A5C36E1UL;

struct PackagerOptions {
    std::string runtime;
    std::string bridgeDirectory;
    std::string output;
    bool force = false;
    std::vector<std::string> extraFiles;
    unsigned long digestMask = kDefaultDigestMask;
};

// False with a message when the arguments are incomplete or unknown.
bool ParsePackagerArguments(const std::vector<std::string>& arguments, PackagerOptions& options,
                            std::string& error);

// The text of "AppConf.ini" for the two upper-case hexadecimal digests.
std::string FormatAppConf(const std::string& runtimeDigest, const std::string& storeDigest,
                          unsigned long mask);

// Writes the install directory. False with a message, and no store or
// temporary file left behind, on failure.
bool PackageInstallDirectory(const PackagerOptions& options, std::string& error);

// The command line: 0 on success, 2 for a usage error, 1 for any other refusal.
int RunPackager(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

extern const char kPackagerUsage[];

#endif
