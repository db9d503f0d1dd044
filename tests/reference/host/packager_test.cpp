#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Md5Digest.h"
#include "Packager.h"
#include "launch/DigestText.h"
#include "product/reference_bridge/DataStore.h"

namespace fs = std::filesystem;

namespace {

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value of `key` in an AppConf.ini text, decoded.
std::string DigestOf(const std::string& config, const std::string& key) {
    std::istringstream lines(config);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(key + "=", 0) == 0) {
            std::string value = line.substr(key.size() + 1);
            if (!value.empty() && value.back() == '\r') {
                value.pop_back();
            }
            return DecodeDigestText(value);
        }
    }
    return std::string();
}

class PackagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("quilo-packager-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "bridge");
        runtime_ = std::string("MZ\0\x01\xff runtime bytes", 20) + std::string(3000, '\x90');
        WriteText(root_ / "runtime.exe", runtime_);
        WriteText(root_ / "bridge" / "CsVarnApi.dll", "api library");
        WriteText(root_ / "bridge" / "CsVarnLab.dll", "lab library");
        WriteText(root_ / "Pelko.exe", "support program");
        output_ = root_ / "install";
    }
    void TearDown() override {
        fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(root_);
    }

    int Run(std::vector<std::string> arguments, std::string& errors) {
        std::ostringstream out, err;
        const int code = RunPackager(arguments, out, err);
        errors = err.str();
        return code;
    }

    std::vector<std::string> Arguments() const {
        return {"--runtime",    (root_ / "runtime.exe").string(),
                "--bridge-dir", (root_ / "bridge").string(),
                "--output",     output_.string()};
    }

    fs::path root_;
    fs::path output_;
    std::string runtime_;
};

TEST_F(PackagerTest, WritesCompleteInstallDirectory) {
    std::vector<std::string> arguments = Arguments();
    arguments.insert(arguments.end(), {"--add", (root_ / "Pelko.exe").string()});
    std::string errors;
    ASSERT_EQ(Run(arguments, errors), 0) << errors;

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(output_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"AppConf.ini", "CsVarnApi.dll", "CsVarnLab.dll", "Pelko.exe",
                                               "Quilord.da", "ertmcache"}));
    EXPECT_EQ(ReadText(output_ / "ertmcache"), runtime_);
    EXPECT_EQ(ReadText(output_ / "CsVarnLab.dll"), "lab library");
    EXPECT_EQ(ReadText(output_ / "Pelko.exe"), "support program");

    const std::string config = ReadText(output_ / "AppConf.ini");
    EXPECT_EQ(DigestOf(config, "Apexm5"), Md5Hex(runtime_));
    EXPECT_EQ(DigestOf(config, "Apdbm5"), Md5HexOfFile((output_ / "Quilord.da").string()));
    // The default mask writes some digits as substitutes.
    EXPECT_EQ(config.find("Apexm5=" + Md5Hex(runtime_)), std::string::npos);

    std::vector<unsigned char> stored;
    std::string error;
    ASSERT_TRUE(ReadRecordField((output_ / "Quilord.da").string(), "73kqd_415209", "DatFileInfo", "FileDat",
                                stored, error))
        << error;
    EXPECT_EQ(std::string(stored.begin(), stored.end()), runtime_);
}

TEST_F(PackagerTest, ForceRewritesAndRemovesStaleLiveRuntime) {
    fs::create_directories(output_);
    WriteText(output_ / "Quilord.da", "old store");
    WriteText(output_ / "InPrRtm.exe", "old live runtime");
    WriteText(output_ / "keep.txt", "unrelated");
    std::vector<std::string> arguments = Arguments();
    arguments.push_back("--force");
    std::string errors;
    ASSERT_EQ(Run(arguments, errors), 0) << errors;
    EXPECT_FALSE(fs::exists(output_ / "InPrRtm.exe"));
    EXPECT_EQ(ReadText(output_ / "keep.txt"), "unrelated");
    EXPECT_EQ(DigestOf(ReadText(output_ / "AppConf.ini"), "Apdbm5"),
              Md5HexOfFile((output_ / "Quilord.da").string()));
}

TEST_F(PackagerTest, PlainDigestsWithZeroMask) {
    std::vector<std::string> arguments = Arguments();
    arguments.insert(arguments.end(), {"--digest-mask", "0"});
    std::string errors;
    ASSERT_EQ(Run(arguments, errors), 0) << errors;
    EXPECT_NE(ReadText(output_ / "AppConf.ini").find("Apexm5=" + Md5Hex(runtime_) + "\r\n"),
              std::string::npos);
}

struct Refusal {
    const char* name;
    std::vector<std::string> arguments;
    int code;
    std::string message;
};

TEST_F(PackagerTest, RefusesBadInput) {
    const std::string runtime = (root_ / "runtime.exe").string();
    const std::string bridge = (root_ / "bridge").string();
    const std::string output = output_.string();
    fs::create_directories(root_ / "busy");
    WriteText(root_ / "busy" / "something", "x");
    WriteText(root_ / "empty.exe", "");
    WriteText(root_ / "a-file", "x");
    fs::create_directories(root_ / "other");
    WriteText(root_ / "other" / "Pelko.exe", "x");
    fs::create_directories(root_ / "locked");
    fs::permissions(root_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);

    const Refusal refusals[] = {
        {"no arguments", {}, 2, "quilo-packager: --runtime, --bridge-dir and --output are required\n"},
        {"unknown option",
         {"--runtime", runtime, "--colour"},
         2,
         "quilo-packager: unknown argument: --colour\n"},
        {"value missing", {"--runtime"}, 2, "quilo-packager: --runtime needs a value\n"},
        {"bad mask",
         {"--runtime", runtime, "--bridge-dir", bridge, "--output", output, "--digest-mask", "xyz"},
         2,
         "quilo-packager: --digest-mask needs a hexadecimal number: xyz\n"},
        {"missing runtime",
         {"--runtime", runtime + ".absent", "--bridge-dir", bridge, "--output", output},
         1,
         "quilo-packager: runtime executable not found: " + runtime + ".absent\n"},
        {"empty runtime",
         {"--runtime", (root_ / "empty.exe").string(), "--bridge-dir", bridge, "--output", output},
         1,
         "quilo-packager: runtime executable is empty: " + (root_ / "empty.exe").string() + "\n"},
        {"bridge missing",
         {"--runtime", runtime, "--bridge-dir", root_.string(), "--output", output},
         1,
         "quilo-packager: CsVarnApi.dll not found in bridge directory: " + root_.string() + "\n"},
        {"output not empty",
         {"--runtime", runtime, "--bridge-dir", bridge, "--output", (root_ / "busy").string()},
         1,
         "quilo-packager: output directory is not empty (use --force to write into it): " +
             (root_ / "busy").string() + "\n"},
        {"output is a file",
         {"--runtime", runtime, "--bridge-dir", bridge, "--output", (root_ / "a-file").string()},
         1,
         "quilo-packager: output exists and is not a directory: " + (root_ / "a-file").string() + "\n"},
        {"output cannot be created",
         {"--runtime", runtime, "--bridge-dir", bridge, "--output", (root_ / "a-file" / "install").string()},
         1,
         "quilo-packager: cannot create output directory " + (root_ / "a-file" / "install").string() +
             ": Not a directory\n"},
        {"added file replaces store",
         {"--runtime", runtime, "--bridge-dir", bridge, "--output", output, "--add",
          (root_ / "a-file").string(), "--add", (root_ / "bridge" / "CsVarnApi.dll").string()},
         1,
         "quilo-packager: file to add would replace the install directory's own CsVarnApi.dll: " +
             (root_ / "bridge" / "CsVarnApi.dll").string() + "\n"},
        {"added files collide",
         {"--runtime", runtime, "--bridge-dir", bridge, "--output", output, "--add",
          (root_ / "Pelko.exe").string(), "--add", (root_ / "other" / "Pelko.exe").string()},
         1,
         "quilo-packager: two files to add have the same name: Pelko.exe\n"},
    };
    for (const Refusal& refusal : refusals) {
        std::string errors;
        EXPECT_EQ(Run(refusal.arguments, errors), refusal.code) << refusal.name;
        EXPECT_EQ(errors.substr(0, errors.find('\n') + 1), refusal.message) << refusal.name;
        EXPECT_FALSE(fs::exists(output_)) << refusal.name << ": output created";
        EXPECT_EQ(ReadText(root_ / "busy" / "something"), "x") << refusal.name;
    }

    // Unwritable output: refused with a message, and nothing half-written left.
    if (::geteuid() != 0) {
        std::string errors;
        std::vector<std::string> arguments = {"--runtime", runtime,    "--bridge-dir",
                                              bridge,      "--output", (root_ / "locked").string()};
        EXPECT_EQ(Run(arguments, errors), 1);
        EXPECT_EQ(
            errors.rfind("quilo-packager: cannot write the data store in " + (root_ / "locked").string(), 0),
            0u)
            << errors;
        EXPECT_TRUE(fs::is_empty(root_ / "locked"));
    }
}

TEST_F(PackagerTest, FailureLeavesNoStoreBehind) {
    // A directory standing where AppConf.ini goes makes the run fail after the
    // store has been written under its temporary name.
    fs::create_directories(output_ / "AppConf.ini" / "blocker");
    std::vector<std::string> arguments = Arguments();
    arguments.push_back("--force");
    std::string errors;
    EXPECT_EQ(Run(arguments, errors), 1);
    EXPECT_EQ(errors.rfind("quilo-packager: cannot create " + (output_ / "AppConf.ini").string(), 0), 0u)
        << errors;
    EXPECT_FALSE(fs::exists(output_ / "Quilord.da"));
    for (const auto& entry : fs::directory_iterator(output_)) {
        EXPECT_EQ(entry.path().string().find(".partial"), std::string::npos) << entry.path();
    }
}

}  // namespace
