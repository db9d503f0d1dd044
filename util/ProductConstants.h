#ifndef QUILO_UTIL_PRODUCTCONSTANTS_H
#define QUILO_UTIL_PRODUCTCONSTANTS_H

// Names and addresses the launcher shares with the rest of the product.

// Loader window caption, title control, already-running message, support program argument.
constexpr wchar_t kProductDisplayName[] = L"Tarvex";

// The product website, without a trailing slash; pages are this plus a path.
constexpr wchar_t kWebsiteAddress[] = L"http://www.tarvex-invoice.example";
constexpr wchar_t kWebsiteHost[] = L"www.tarvex-invoice.example";
constexpr wchar_t kSoftwareListPath[] = L"/softlist";

// Microsoft's download pages for the runtimes the main application needs.
constexpr wchar_t kDotNetDownloadPage[] = L"https://go.microsoft.com/fwlink/?LinkId=397708";
constexpr wchar_t kVcRedistDownloadPage[] = L"https://aka.ms/vs/17/release/vc_redist.x86.exe";

// Where the user gets help: the line that closes the launcher's failure
// messages. A literal, so that messages can be joined with it where they are
// written and stay constants; every message spells it through this name.
#define QUILO_SUPPORT_CONTACT L"更多解决请咨询软件服务人员，咨询电话：19999999999"

// Single-instance marker, in the session's local object namespace.
constexpr wchar_t kSingleInstanceMutexName[] = L"Quilo_App_Mutex";

// The data store's password, handed to the bridge for the rebuild. The
// support trace removes it from every line it writes.
constexpr wchar_t kStorePassword[] = L"73kqd_415209";

#endif
