#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "product/reference_bridge/DataStore.h"

namespace fs = std::filesystem;

namespace {

class DataStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = fs::temp_directory_path() /
                     ("quilo-datastore-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                      "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory_);
        fs::create_directories(directory_);
        for (int i = 0; i < 5000; ++i) {
            runtime_.push_back(static_cast<unsigned char>(i * 31 + i / 256));
        }
        store_ = (directory_ / "Quilord.da").string();
        std::string error;
        ASSERT_TRUE(CreateRecordStore(store_, "73kqd_415209", "DatFileInfo", "FileDat", runtime_, error))
            << error;
    }
    void TearDown() override { fs::remove_all(directory_); }

    fs::path directory_;
    std::string store_;
    std::vector<unsigned char> runtime_;
};

TEST_F(DataStoreTest, RoundTripGivesTheSameBytes) {
    std::vector<unsigned char> bytes;
    std::string error;
    ASSERT_TRUE(ReadRecordField(store_, "73kqd_415209", "DatFileInfo", "FileDat", bytes, error)) << error;
    EXPECT_EQ(bytes, runtime_);
    EXPECT_EQ(error, "");
}

TEST_F(DataStoreTest, StoreIsEncrypted) {
    std::ifstream in(store_, std::ios::binary);
    std::string header(16, '\0');
    in.read(&header[0], 16);
    EXPECT_NE(header, std::string("SQLite format 3\0", 16));
}

struct ReadFailure {
    const char* name;
    std::string password, record, field;
    const char* error;
};

TEST_F(DataStoreTest, FailuresCarrySqliteText) {
    const ReadFailure cases[] = {
        {"wrong password", "wrong-password", "DatFileInfo", "FileDat", "file is not a database"},
        {"no password", "", "DatFileInfo", "FileDat", "file is not a database"},
        {"missing table", "73kqd_415209", "NoSuchRecord", "FileDat", "no such table: NoSuchRecord"},
        {"missing field", "73kqd_415209", "DatFileInfo", "NoSuchField", "no such column: NoSuchField"},
        // Names are identifiers, never SQL.
        {"injected name", "73kqd_415209", "DatFileInfo` WHERE 0; DROP TABLE `DatFileInfo", "FileDat",
         "no such table: DatFileInfo` WHERE 0; DROP TABLE `DatFileInfo"},
    };
    for (const ReadFailure& c : cases) {
        std::vector<unsigned char> bytes;
        std::string error;
        EXPECT_FALSE(ReadRecordField(store_, c.password, c.record, c.field, bytes, error)) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
        EXPECT_TRUE(bytes.empty()) << c.name;
    }
    std::vector<unsigned char> bytes;
    std::string error;
    EXPECT_TRUE(ReadRecordField(store_, "73kqd_415209", "DatFileInfo", "FileDat", bytes, error)) << error;
}

TEST_F(DataStoreTest, DamagedMissingAndEmptyStores) {
    const std::string damaged = (directory_ / "damaged.da").string();
    std::ofstream(damaged, std::ios::binary) << std::string(4096, '\x5a');
    const std::string empty = (directory_ / "empty.da").string();
    std::ofstream(empty, std::ios::binary).close();

    struct Case {
        std::string path;
        const char* error;
    } cases[] = {
        {damaged, "file is not a database"},
        {(directory_ / "absent.da").string(), "unable to open database file"},
        {empty, "no such table: DatFileInfo"},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes;
        std::string error;
        EXPECT_FALSE(ReadRecordField(c.path, "73kqd_415209", "DatFileInfo", "FileDat", bytes, error))
            << c.path;
        EXPECT_EQ(error, c.error) << c.path;
    }
}

TEST(DataStore, QuotesIdentifiers) {
    EXPECT_EQ(QuoteSqlIdentifier("FileDat"), "`FileDat`");
    EXPECT_EQ(QuoteSqlIdentifier("a`b"), "`a``b`");
    EXPECT_EQ(QuoteSqlIdentifier(""), "``");
}

TEST(DataStore, EngineCheckPasses) {
    std::string error;
    EXPECT_TRUE(CheckStoreEngine(error)) << error;
}

}  // namespace
