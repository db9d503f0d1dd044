#ifndef QUILO_LAUNCH_RUNTIMEFILES_H
#define QUILO_LAUNCH_RUNTIMEFILES_H

// Files of the install directory that the launch works with.

#include "util/ProductConstants.h"

// The runtime executable carries its live name only while the launcher runs;
// between runs it is parked under a name without extension.
constexpr wchar_t kLiveRuntimeName[] = L"InPrRtm.exe";
constexpr wchar_t kParkedRuntimeName[] = L"ertmcache";
constexpr wchar_t kDataStoreName[] = L"Quilord.da";
constexpr wchar_t kConfigFileName[] = L"AppConf.ini";

// Keys of the configuration file: expected digests of the executable and the store.
constexpr wchar_t kRuntimeDigestKey[] = L"Apexm5";
constexpr wchar_t kDataStoreDigestKey[] = L"Apdbm5";

// What the bridge needs to rebuild the executable from the data store (with
// kStorePassword). Their meaning inside the store is the bridge's business;
// they pass through as they are.
constexpr wchar_t kStoreRecordName[] = L"DatFileInfo";
constexpr wchar_t kStoreFieldName[] = L"FileDat";

// The update hand-off.
constexpr wchar_t kUpdateMarkerName[] = L"upd.tmp";
constexpr wchar_t kUpdateFolderName[] = L"update";

#endif
