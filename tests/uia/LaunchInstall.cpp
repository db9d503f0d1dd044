#include "LaunchInstall.h"

#include <gtest/gtest.h>
#include <wincrypt.h>

#include <sstream>

#include "TestBridge.h"
#include "TestPaths.h"
#include "TestProcess.h"
#include "UiAutomation.h"

std::string Md5Hex(const std::string& bytes) {
    HCRYPTPROV provider = 0;
    if (!::CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
        return std::string();
    }
    HCRYPTHASH hash = 0;
    std::string hex;
    if (::CryptCreateHash(provider, CALG_MD5, 0, 0, &hash)) {
        BYTE value[16] = {};
        DWORD length = sizeof(value);
        if (::CryptHashData(hash, reinterpret_cast<const BYTE*>(bytes.data()),
                            static_cast<DWORD>(bytes.size()), 0) &&
            ::CryptGetHashParam(hash, HP_HASHVAL, value, &length, 0)) {
            static const char kDigits[] = "0123456789ABCDEF";
            for (BYTE b : value) {
                hex.push_back(kDigits[b >> 4]);
                hex.push_back(kDigits[b & 15]);
            }
        }
        ::CryptDestroyHash(hash);
    }
    ::CryptReleaseContext(provider, 0);
    return hex;
}

std::string FileMd5Hex(const std::wstring& path) {
    FILE* file = ::_wfopen(path.c_str(), L"rb");
    if (!file) {
        return std::string();
    }
    std::string bytes;
    char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
        bytes.append(chunk, got);
    }
    std::fclose(file);
    return Md5Hex(bytes);
}

void WriteConfig(ScratchInstall& install, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    install.WriteFile(L"AppConf.ini", text);
}

void LayOutScriptedLaunch(ScratchInstall& install) {
    InstallTestBridge(install);
    const std::wstring standin = RuntimeStandIn();
    install.CopyIn(standin, L"ertmcache");
    install.CopyIn(standin, L"runtime-source.bin");
    ScriptTestBridge(install,
                     "status=1\ncomputer_id=PC-LAUNCH-1\nregenerate=1\nwrite_runtime=runtime-source.bin\n");
    WriteConfig(install, {"[Digests]", "Apexm5=" + FileMd5Hex(standin),
                          "Apdbm5=" + FileMd5Hex(install.PathOf(L"Quilord.da"))});
}

namespace {

void CopyFolderFiles(ScratchInstall& install, const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
    ASSERT_NE(INVALID_HANDLE_VALUE, find)
        << "the packaged install directory is missing (fixture launch_install)";
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            install.CopyIn(folder + L"\\" + entry.cFileName, entry.cFileName);
        }
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
}

}  // namespace

void LayOutPackagedLaunch(ScratchInstall& install) {
    CopyFolderFiles(install, PackagedLaunchFolder());
}

void LayOutPackagedNotAProgram(ScratchInstall& install) {
    CopyFolderFiles(install, BuildFile("standins/launch_install_not_a_program"));
}

void InstallUpdater(ScratchInstall& install, const std::wstring& name) {
    install.CopyIn(BuildFile("standins/updater_standin.exe"), name);
}

std::string MarkerBytes(int count, const std::string& text) {
    std::string bytes(4, '\0');
    const unsigned int raw = static_cast<unsigned int>(count);
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>((raw >> (8 * i)) & 0xFF);
    }
    return bytes + text;
}

RuntimeStart ReadRuntimeStart(const ScratchInstall& install) {
    RuntimeStart start;
    if (!install.Exists(L"runtime-args.txt")) {
        return start;
    }
    std::istringstream lines(install.ReadFile(L"runtime-args.txt"));
    std::string line;
    while (std::getline(lines, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "cmdline") {
            start.commandLine = value;
        } else if (key == "pid") {
            start.pid = static_cast<DWORD>(std::stoul(value));
        } else if (key.rfind("argv[", 0) == 0) {
            start.argv.push_back(value);
        }
    }
    start.recorded = true;
    return start;
}

RuntimeStart WaitForRuntimeStart(const ScratchInstall& install, DWORD timeoutMs) {
    if (!WaitForFileIn(install, L"runtime-args.txt", timeoutMs)) {
        ADD_FAILURE() << "the main application (runtime stand-in) did not start within " << timeoutMs
                      << " ms";
        return RuntimeStart();
    }
    return ReadRuntimeStart(install);
}

int RuntimeStartCount(const ScratchInstall& install) {
    const std::string starts = install.ReadFile(L"runtime-starts.txt");
    int count = 0;
    for (char c : starts) {
        count += c == '\n';
    }
    return count;
}

bool WaitForFileIn(const ScratchInstall& install, const std::wstring& name, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!install.Exists(name)) {
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        PumpFor(50);
    }
    return true;
}

DWORD StartLauncherInUnixLocale(const ScratchInstall& install, const std::string& locale, DWORD timeoutMs) {
    // The Wine loader of this build tree's width (scripts/wine-env.sh): Debian's
    // "wine" command would pick the 32-bit one, which not every machine can run.
    wchar_t loader[MAX_PATH] = {};
    const DWORD loaderLength = ::GetEnvironmentVariableW(L"QUILO_WINE_LOADER", loader, MAX_PATH);
    const std::wstring loaderCommand = loaderLength > 0 && loaderLength < MAX_PATH ? loader : L"wine";
    std::wstring commandLine = L"/usr/bin/env LC_ALL=" + std::wstring(locale.begin(), locale.end()) + L" " +
                               loaderCommand + L" " + kLauncherFileName;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    // The launcher is named relative to the current directory: a path on the
    // command line would pass through the Unix side's charset, which need not
    // carry an ideograph of the install path.
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          install.Directory().c_str(), &startup, &info)) {
        ADD_FAILURE() << "cannot start /usr/bin/env through Wine, error " << ::GetLastError();
        return 0;
    }
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (::GetTickCount64() < deadline) {
        const std::vector<DWORD> ids = ProcessIdsByName(kLauncherFileName);
        if (!ids.empty()) {
            return ids.front();
        }
        PumpFor(50);
    }
    ADD_FAILURE() << "no launcher appeared within " << timeoutMs << " ms of starting it in locale " << locale;
    return 0;
}
