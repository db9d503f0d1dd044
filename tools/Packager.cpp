#include "Packager.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

#include "Md5Digest.h"
#include "launch/DigestText.h"
#include "product/reference_bridge/DataStore.h"

namespace fs = std::filesystem;

const char kPackagerUsage[] =
    "usage: quilo-packager --runtime FILE --bridge-dir DIR --output DIR [--force] [--add FILE]...\n"
    "                      [--digest-mask HEX]\n"
    "Writes an install directory: Quilord.da, AppConf.ini, ertmcache, CsVarnApi.dll,\n"
    "CsVarnLab.dll and the --add files. An existing non-empty output directory is\n"
    "only written with --force.\n";

namespace {

bool ReadWholeFile(const fs::path& path, std::vector<unsigned char>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

fs::path TemporaryName(const fs::path& path) {
    return fs::path(path.string() + ".partial");
}

// Removes the temporary files of a run that did not finish.
class TemporaryFiles {
public:
    ~TemporaryFiles() {
        std::error_code ignored;
        for (const fs::path& path : paths_) {
            fs::remove(path, ignored);
        }
    }
    void Add(const fs::path& path) { paths_.push_back(path); }
    void Forget(const fs::path& path) {
        for (auto it = paths_.begin(); it != paths_.end(); ++it) {
            if (*it == path) {
                paths_.erase(it);
                return;
            }
        }
    }

private:
    std::vector<fs::path> paths_;
};

bool WriteFileReplacing(const fs::path& target, const std::string& bytes, TemporaryFiles& temporaries,
                        std::string& error) {
    const fs::path temporary = TemporaryName(target);
    temporaries.Add(temporary);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            error = "cannot write " + temporary.string();
            return false;
        }
    }
    std::error_code failure;
    fs::rename(temporary, target, failure);
    if (failure) {
        error = "cannot create " + target.string() + ": " + failure.message();
        return false;
    }
    temporaries.Forget(temporary);
    return true;
}

bool CopyFileReplacing(const fs::path& source, const fs::path& target, TemporaryFiles& temporaries,
                       std::string& error) {
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(source, bytes)) {
        error = "cannot read " + source.string();
        return false;
    }
    return WriteFileReplacing(target, std::string(bytes.begin(), bytes.end()), temporaries, error);
}

bool IsRegularFile(const fs::path& path) {
    std::error_code ignored;
    return fs::is_regular_file(path, ignored);
}

// The install directory's own files may not be overwritten by --add files.
bool IsReservedName(const std::string& name) {
    static const std::set<std::string> reserved = {kStoreFileName,     kConfigFileName,
                                                   kParkedRuntimeName, kLiveRuntimeName,
                                                   kBridgeLibraryName, kComponentLibraryName};
    return reserved.count(name) != 0;
}

bool CheckInputs(const PackagerOptions& options, std::string& error) {
    if (!IsRegularFile(options.runtime)) {
        error = "runtime executable not found: " + options.runtime;
        return false;
    }
    std::error_code ignored;
    if (fs::file_size(options.runtime, ignored) == 0) {
        error = "runtime executable is empty: " + options.runtime;
        return false;
    }
    for (const char* name : {kBridgeLibraryName, kComponentLibraryName}) {
        if (!IsRegularFile(fs::path(options.bridgeDirectory) / name)) {
            error = std::string(name) + " not found in bridge directory: " + options.bridgeDirectory;
            return false;
        }
    }
    std::set<std::string> extraNames;
    for (const std::string& extra : options.extraFiles) {
        const std::string name = fs::path(extra).filename().string();
        if (!IsRegularFile(extra)) {
            error = "file to add not found: " + extra;
            return false;
        }
        if (IsReservedName(name)) {
            error = "file to add would replace the install directory's own " + name + ": " + extra;
            return false;
        }
        if (!extraNames.insert(name).second) {
            error = "two files to add have the same name: " + name;
            return false;
        }
    }
    return true;
}

bool PrepareOutputDirectory(const PackagerOptions& options, std::string& error) {
    const fs::path output(options.output);
    std::error_code failure;
    const fs::file_status status = fs::status(output, failure);
    if (fs::exists(status) && !fs::is_directory(status)) {
        error = "output exists and is not a directory: " + options.output;
        return false;
    }
    if (fs::exists(status)) {
        const bool empty = fs::is_empty(output, failure);
        if (failure) {
            error = "cannot read output directory " + options.output + ": " + failure.message();
            return false;
        }
        if (!empty && !options.force) {
            error = "output directory is not empty (use --force to write into it): " + options.output;
            return false;
        }
        return true;
    }
    fs::create_directories(output, failure);
    if (failure) {
        error = "cannot create output directory " + options.output + ": " + failure.message();
        return false;
    }
    return true;
}

bool ParseMask(const std::string& text, unsigned long& mask) {
    if (text.empty() || text.size() > 10) {
        return false;
    }
    char* end = nullptr;
    mask = std::strtoul(text.c_str(), &end, 16);
    return end != nullptr && *end == '\0';
}

}  // namespace

bool ParsePackagerArguments(const std::vector<std::string>& arguments, PackagerOptions& options,
                            std::string& error) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--force") {
            options.force = true;
            continue;
        }
        const bool takesValue = argument == "--runtime" || argument == "--bridge-dir" ||
                                argument == "--output" || argument == "--add" || argument == "--digest-mask";
        if (!takesValue) {
            error = "unknown argument: " + argument;
            return false;
        }
        if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
            error = argument + " needs a value";
            return false;
        }
        const std::string& value = arguments[++i];
        if (argument == "--runtime") {
            options.runtime = value;
        } else if (argument == "--bridge-dir") {
            options.bridgeDirectory = value;
        } else if (argument == "--output") {
            options.output = value;
        } else if (argument == "--add") {
            options.extraFiles.push_back(value);
        } else if (!ParseMask(value, options.digestMask)) {
            error = "--digest-mask needs a hexadecimal number: " + value;
            return false;
        }
    }
    if (options.runtime.empty() || options.bridgeDirectory.empty() || options.output.empty()) {
        error = "--runtime, --bridge-dir and --output are required";
        return false;
    }
    return true;
}

std::string FormatAppConf(const std::string& runtimeDigest, const std::string& storeDigest,
                          unsigned long mask) {
    // CRLF: the file belongs to a Windows install; the launcher drops the CR.
    return std::string("; Expected MD5 digests of the runtime executable and its data store.\r\n") +
           "[Digest]\r\n" + "Apexm5=" + EncodeDigestText(runtimeDigest, mask) + "\r\n" +
           "Apdbm5=" + EncodeDigestText(storeDigest, mask) + "\r\n";
}

bool PackageInstallDirectory(const PackagerOptions& options, std::string& error) {
    if (!CheckInputs(options, error) || !PrepareOutputDirectory(options, error)) {
        return false;
    }
    const fs::path output(options.output);
    std::vector<unsigned char> runtime;
    if (!ReadWholeFile(options.runtime, runtime) || runtime.empty()) {
        error = "cannot read runtime executable " + options.runtime;
        return false;
    }

    TemporaryFiles temporaries;
    const fs::path store = output / kStoreFileName;
    const fs::path storeTemporary = TemporaryName(store);
    std::error_code ignored;
    fs::remove(storeTemporary, ignored);
    fs::remove(fs::path(storeTemporary.string() + "-journal"), ignored);
    temporaries.Add(storeTemporary);
    temporaries.Add(fs::path(storeTemporary.string() + "-journal"));
    std::string storeError;
    if (!CreateRecordStore(storeTemporary.string(), kStorePassword, kStoreRecordName, kStoreFieldName,
                           runtime, storeError)) {
        error = "cannot write the data store in " + options.output + ": " + storeError;
        return false;
    }
    const std::string storeDigest = Md5HexOfFile(storeTemporary.string());
    const std::string runtimeDigest = Md5Hex(std::string(runtime.begin(), runtime.end()));
    if (storeDigest.empty()) {
        error = "cannot read back " + storeTemporary.string();
        return false;
    }

    if (!WriteFileReplacing(output / kParkedRuntimeName, std::string(runtime.begin(), runtime.end()),
                            temporaries, error)) {
        return false;
    }
    for (const char* name : {kBridgeLibraryName, kComponentLibraryName}) {
        if (!CopyFileReplacing(fs::path(options.bridgeDirectory) / name, output / name, temporaries, error)) {
            return false;
        }
    }
    for (const std::string& extra : options.extraFiles) {
        if (!CopyFileReplacing(extra, output / fs::path(extra).filename(), temporaries, error)) {
            return false;
        }
    }
    if (!WriteFileReplacing(output / kConfigFileName,
                            FormatAppConf(runtimeDigest, storeDigest, options.digestMask), temporaries,
                            error)) {
        return false;
    }
    // A live copy left by an earlier run would make the launcher's move of the
    // parked copy fail, and it is stale now anyway.
    fs::remove(output / kLiveRuntimeName, ignored);

    std::error_code failure;
    fs::rename(storeTemporary, store, failure);
    if (failure) {
        error = "cannot create " + store.string() + ": " + failure.message();
        return false;
    }
    temporaries.Forget(storeTemporary);
    return true;
}

int RunPackager(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        out << kPackagerUsage;
        return 0;
    }
    PackagerOptions options;
    std::string error;
    if (!ParsePackagerArguments(arguments, options, error)) {
        err << "quilo-packager: " << error << "\n" << kPackagerUsage;
        return 2;
    }
    if (!PackageInstallDirectory(options, error)) {
        err << "quilo-packager: " << error << "\n";
        return 1;
    }
    out << "quilo-packager: install directory written: " << options.output << "\n";
    return 0;
}
