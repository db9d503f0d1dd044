#include "bridge/BridgeHost.h"

#include <shellapi.h>

#include <exception>

#include "util/ProductConstants.h"
#include "bridge/BridgeCall.h"
#include "bridge/BridgeMessages.h"
#include "util/MessageBox.h"
#include "util/Paths.h"
#include "util/ScopedHandle.h"
#include "util/StartupPhases.h"
#include "util/TextConvert.h"
#include "util/Trace.h"

namespace {

void OpenVcRedistDownloadPage() {
    // A shell that cannot open the page is not reported: the user has the message.
    ::ShellExecuteW(nullptr, L"open", kVcRedistDownloadPage, nullptr, nullptr, SW_SHOWNORMAL);
}

void ReportLoadFailure(DWORD errorCode) {
    if (errorCode == kModuleNotFoundError) {
        ShowWarning(kVcRuntimeMissingText, kRuntimeCheckTitle);
        OpenVcRedistDownloadPage();
        return;
    }
    if (AskYesNo(LoadFailureQuestion(errorCode), kRuntimeCheckTitle) == IDYES) {
        OpenVcRedistDownloadPage();
    }
}

// A standard exception thrown while converting texts ends the call with the
// operation's empty result and the exception's own words as the error.
std::wstring ExceptionText(const std::exception& exception) {
    return NarrowToWide(exception.what());
}

// The time spent in the bridge library's own code (its loading included) is
// counted apart from the launcher's.
class BridgeTimeCounter {
public:
    BridgeTimeCounter() = default;
    BridgeTimeCounter(const BridgeTimeCounter&) = delete;
    BridgeTimeCounter& operator=(const BridgeTimeCounter&) = delete;
    ~BridgeTimeCounter() { AddBridgeCallTime(stopwatch_.ElapsedMilliseconds()); }

private:
    TraceStopwatch stopwatch_;
};

}  // namespace

std::wstring LoadFailureQuestion(DWORD errorCode) {
    // "运行库加载失败，错误码：%u" with the code as unsigned decimal.
    return L"运行库加载失败，错误码：" + std::to_wstring(static_cast<unsigned long>(errorCode)) + L"\n\n" +
           kVcRuntimeMissingText + L"\n\n是否现在下载？";
}

CBridgeHost::~CBridgeHost() {
    Unload();
}

bool CBridgeHost::Load(const std::wstring& installDirectory) {
    if (!FileExists(CombinePath(installDirectory, kComponentLibraryName))) {
        TraceValueOf(L"bridge load", [] { return std::wstring(kComponentLibraryName) + L" missing"; });
        ShowWarning(kComponentLibraryMissingText, kBridgeInitTitle);
        return false;
    }
    if (!FileExists(CombinePath(installDirectory, kBridgeLibraryName))) {
        TraceValueOf(L"bridge load", [] { return std::wstring(kBridgeLibraryName) + L" missing"; });
        ShowWarning(kBridgeLibraryMissingText, kBridgeInitTitle);
        return false;
    }
    // By bare name: the system's search order starts with the launcher's own
    // folder, and CsVarnApi.dll finds CsVarnLab.dll there the same way.
    ScopedModule module;
    {
        const BridgeTimeCounter counter;
        module.reset(::LoadLibraryW(kBridgeLibraryName));
    }
    if (!module) {
        const DWORD error = ::GetLastError();
        TraceValueOf(L"bridge load", [&] { return L"failed, error " + std::to_wstring(error); });
        ReportLoadFailure(error);
        return false;
    }
    // Through a generic function pointer: FARPROC's own signature means nothing here.
    const auto createWrapper = reinterpret_cast<CreateWrapperFunction>(
        reinterpret_cast<void (*)()>(::GetProcAddress(module.get(), kCreateWrapperExport)));
    if (!createWrapper) {
        module.reset();
        TraceValue(L"bridge load", L"no object factory exported");
        ShowWarning(kCreateWrapperMissingText, kBridgeInitTitle);
        return false;
    }
    IBridge* bridge = nullptr;
    {
        const BridgeTimeCounter counter;
        bridge = createWrapper();
    }
    if (!bridge) {
        module.reset();
        TraceValue(L"bridge load", L"the factory gave no object");
        ShowWarning(kCreateWrapperFailedText, kBridgeInitTitle);
        return false;
    }
    Unload();
    module_ = module.release();
    bridge_ = bridge;
    TraceValue(L"bridge load", L"ok");
    return true;
}

void CBridgeHost::Unload() {
    // The object's code lives in the library, so the object goes first.
    if (bridge_) {
        bridge_->DeleteThis(1);
        bridge_ = nullptr;
    }
    if (module_) {
        ::FreeLibrary(module_);
        module_ = nullptr;
    }
}

int CBridgeHost::QueryStatus(std::wstring& error) {
    error.clear();
    if (!bridge_) {
        return 0;
    }
    try {
        char* bridgeError = nullptr;
        int status = 0;
        {
            const BridgeTimeCounter counter;
            status = bridge_->QueryStatus(&bridgeError);
        }
        if (bridgeError) {
            error = TakeBridgeText(bridgeError);
            return 0;
        }
        return status;
    } catch (const std::exception& exception) {
        error = ExceptionText(exception);
        return 0;
    }
}

std::wstring CBridgeHost::QueryComputerId(std::wstring& error) {
    error.clear();
    if (!bridge_) {
        return std::wstring();
    }
    try {
        char* bridgeError = nullptr;
        char* identifier = nullptr;
        {
            const BridgeTimeCounter counter;
            identifier = bridge_->QueryComputerId(&bridgeError);
        }
        if (bridgeError) {
            // A result that came with an error is not trusted to be a buffer
            // of ours to release: it is ignored and left alone.
            error = TakeBridgeText(bridgeError);
            return std::wstring();
        }
        return TakeBridgeText(identifier);
    } catch (const std::exception& exception) {
        error = ExceptionText(exception);
        return std::wstring();
    }
}

bool CBridgeHost::RegenerateRuntime(const std::wstring& storePath, const std::wstring& storePassword,
                                    const std::wstring& recordName, const std::wstring& fieldName,
                                    const std::wstring& targetDirectory, const std::wstring& targetFileName,
                                    std::wstring& error) {
    error.clear();
    if (!bridge_) {
        return false;
    }
    try {
        // Empty texts become empty narrow strings, never null pointers; the
        // copies live until the call returns.
        const std::string store = WideToNarrow(storePath);
        const std::string password = WideToNarrow(storePassword);
        const std::string record = WideToNarrow(recordName);
        const std::string field = WideToNarrow(fieldName);
        const std::string directory = WideToNarrow(targetDirectory);
        const std::string fileName = WideToNarrow(targetFileName);
        char* bridgeError = nullptr;
        bool regenerated = false;
        {
            const BridgeTimeCounter counter;
            regenerated =
                bridge_->RegenerateRuntime(store.c_str(), password.c_str(), record.c_str(), field.c_str(),
                                           directory.c_str(), fileName.c_str(), &bridgeError);
        }
        if (bridgeError) {
            error = TakeBridgeText(bridgeError);
            return false;
        }
        return regenerated;
    } catch (const std::exception& exception) {
        error = ExceptionText(exception);
        return false;
    }
}

CBridgeHost& TheBridgeHost() {
    static CBridgeHost host;
    return host;
}
