// The launch's decisions that need no window: the configuration reader, the
// marker test, the failure classification, the exit-code protocol and the
// restart chain.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <sstream>

#include <windows.h>
#include <shellapi.h>

#include "launch/ConfigFile.h"
#include "launch/FailureDiagnosis.h"
#include "launch/RestartChain.h"
#include "launch/RuntimeProcess.h"
#include "util/ShellStartError.h"
#include "launch/SystemErrorText.h"
#include "launch/UpdateMarker.h"

TEST(ConfigFileParser, FindsKeysAsTheConfigurationFileWritesThem) {
    struct Case {
        const char* content;
        const char* key;
        bool found;
        const char* value;
    } cases[] = {
        {"Apexm5=ABC\n", "Apexm5", true, "ABC"},
        {"  apexm5  =  ABC  \r\n", "Apexm5", true, "ABC"},
        {"[Digests]\nApdbm5=1\nApexm5=2\n", "Apexm5", true, "2"},
        {"Apexm5=first\nAPEXM5=second\n", "Apexm5", true, "first"},
        {";Apexm5=commented\nApexm5=real\n", "Apexm5", true, "real"},
        {"  ;Apexm5=commented\n", "Apexm5", false, ""},
        {"Apexm5\nApexm5 value\n", "Apexm5", false, ""},
        {"Apexm5=a=b\n", "Apexm5", true, "a=b"},
        {"Apexm5=\n", "Apexm5", true, ""},
        {"Apexm5x=1\nxApexm5=2\n", "Apexm5", false, ""},
        {"Apexm5=last line without feed", "Apexm5", true, "last line without feed"},
        {"", "Apexm5", false, ""},
        {"\r\n\r\n=value\n", "", true, "value"},
    };
    for (const Case& c : cases) {
        std::istringstream input(c.content);
        std::string value = "unchanged";
        EXPECT_EQ(c.found, FindConfigValue(input, c.key, value)) << c.content;
        EXPECT_EQ(c.found ? c.value : "unchanged", value) << c.content;
    }
}

// Memory stays bounded whatever the file holds: a line over the bound is
// passed over without being held, and the lines after it still count.
TEST(ConfigFileParser, PassesOverLinesLongerThanTheBoundAndStopsAtTheFirstMatch) {
    const std::string longest = "Apexm5=" + std::string(kMaxConfigLineBytes - 7, 'A');
    const std::string overlong = "Apexm5=" + std::string(kMaxConfigLineBytes, 'A');
    struct Case {
        std::string content;
        bool found;
        std::string value;
    } cases[] = {
        {longest + "\n", true, longest.substr(7)},
        {overlong + "\n", false, ""},
        {overlong + "\nApexm5=after\n", true, "after"},
        {std::string(3 * kMaxConfigLineBytes, ';') + "\r\nApexm5=after", true, "after"},
        {overlong, false, ""},
    };
    for (const Case& c : cases) {
        std::istringstream input(c.content);
        std::string value;
        EXPECT_EQ(c.found, FindConfigValue(input, "Apexm5", value)) << c.content.size();
        EXPECT_EQ(c.value, value) << c.content.size();
    }

    // Reading ends at the first match: a source that would go on for ever is
    // asked once (and gives up after a hundred calls, should the reader not stop).
    int calls = 0;
    std::string value;
    EXPECT_TRUE(FindConfigValue(
        [&calls](char* buffer, std::size_t capacity) -> std::size_t {
            if (++calls > 100) {
                return 0;
            }
            const std::string head = "Apexm5=first\n";
            std::memset(buffer, 'x', capacity);
            if (calls == 1) {
                head.copy(buffer, head.size());
            }
            return capacity;
        },
        "Apexm5", value));
    EXPECT_EQ(1, calls);
    EXPECT_EQ("first", value);
}

TEST(ConfigFile, MissingFileLeavesTheValueAlone) {
    std::wstring value = L"unchanged";
    EXPECT_FALSE(CConfigFile(L"Z:\\no\\such\\AppConf.ini").GetValue(L"Apexm5", value));
    EXPECT_EQ(L"unchanged", value);
}

TEST(UpdateMarker, SaysSixOnlyWhenTheTrimmedTextIsExactlySix) {
    struct Case {
        std::wstring text;
        bool says;
    } cases[] = {
        {L"6", true},
        {L" 6\r\n", true},
        {L"\t6 ", true},
        {L"06", false},
        {L"6a", false},
        {L"", false},
        {L"66", false},
        {std::wstring(L"6\0x", 3), true},
        {std::wstring(L"6\0", 2), true},  // a file padded with zeros
        {std::wstring(L"\0"
                      L"6",
                      2),
         false},
        {L"６", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.says, MarkerSaysUpdate(c.text)) << c.text.size();
    }
}

TEST(FailureDiagnosis, FindsTheCjkIdeographsAnywhereInAPath) {
    EXPECT_TRUE(PathHasCjk(L"D:\\软件\\Quilord.da"));
    EXPECT_TRUE(PathHasCjk(L"D:\\a\u4E00"));
    EXPECT_TRUE(PathHasCjk(L"\u9FFF"));
    EXPECT_FALSE(PathHasCjk(L"D:\\Apps\\Quilord.da"));
    EXPECT_FALSE(PathHasCjk(L"D:\\\u4DFF\uA000\u3042"));  // neighbours of the range, kana
    EXPECT_FALSE(PathHasCjk(L""));
}

// The scan that replaced the regular expression [\u4E00-\u9FFF]: the same
// range, both ends included, over UTF-16 units wherever they stand.
TEST(FailureDiagnosis, CjkScanKeepsTheRangeOfTheRegularExpression) {
    struct Case {
        std::wstring path;
        bool hasCjk;
    } cases[] = {
        {std::wstring(1, wchar_t(0x4DFF)), false},  // last unit below the range
        {std::wstring(1, wchar_t(0x4E00)), true},   // first unit of the range
        {std::wstring(1, wchar_t(0x4E01)), true},
        {std::wstring(1, wchar_t(0x6F22)), true},  // 漢, inside
        {std::wstring(1, wchar_t(0x9FFE)), true},
        {std::wstring(1, wchar_t(0x9FFF)), true},   // last unit of the range
        {std::wstring(1, wchar_t(0xA000)), false},  // first unit above the range
        {std::wstring(1, wchar_t(0x3400)), false},  // extension A, outside the range
        {std::wstring(1, wchar_t(0xF900)), false},  // compatibility ideographs, outside
        {std::wstring(1, wchar_t(0xFFFF)), false},
        {std::wstring(1, wchar_t(0x0000)), false},
        {L"\xD840\xDC00", false},  // U+20000 (extension B): two surrogates, neither in the range
        {L"\x4E00"
         L"abc",
         true},                                              // at the start
        {L"abc\x9FFF", true},                                // at the end
        {std::wstring(L"a\0b", 3) + wchar_t(0x4E00), true},  // after an embedded NUL
        {std::wstring(L"a\0b", 3), false},
        {L"C:\\Program Files\\Tarvex\\", false},
        {L"C:\\\x30BD\x30D5\x30C8\\", false},  // katakana
        {L"C:\\\xD55C\xAE00\\", false},        // hangul
        {L"C:\\\x8F6F\x4EF6\\", true},         // 软件
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.hasCjk, PathHasCjk(c.path)) << std::hex << (c.path.empty() ? 0 : int(c.path[0]));
    }
}

// Every UTF-16 unit, alone and between other characters, against the regular
// expression the launcher used before (the test program may link <regex>).
TEST(FailureDiagnosis, CjkScanAgreesWithTheFormerRegularExpressionOnEveryUnit) {
    const std::wregex formerPattern(L"[\u4E00-\u9FFF]", std::regex_constants::ECMAScript);
    int disagreements = 0;
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
        const std::wstring alone(1, static_cast<wchar_t>(unit));
        const std::wstring inPath = L"D:\\a" + alone + L"b\\";
        for (const std::wstring& path : {alone, inPath}) {
            if (PathHasCjk(path) != std::regex_search(path, formerPattern)) {
                ++disagreements;
                ADD_FAILURE() << "unit " << std::hex << unit;
            }
        }
    }
    EXPECT_EQ(0, disagreements);
}

TEST(FailureDiagnosis, ChoosesOneMessagePerSituation) {
    const std::wstring noSuch = L"no such table: DatFileInfo";
    struct Case {
        std::wstring error;
        bool hasCjk;
        bool zhCn;
        bool dotNet;
        std::wstring message;
    } cases[] = {
        {noSuch, true, false, true, kPathMessage},
        {noSuch, true, false, false, kPathMessage},
        {noSuch, true, true, true, kStoreRetryMessage},
        {noSuch, true, true, false, kFrameworkMessage},
        {noSuch, false, false, true, kStoreRetryMessage},
        {noSuch, false, true, false, kFrameworkMessage},
        {L"unrecognized token: \"x\"", true, false, true, kPathMessage},
        {L"bad sql", false, false, true, kStoreRetryMessage},
        {L"wrong 73kqd_415209", false, false, true, kStoreRetryMessage},
        {L"FileDat missing", false, false, true, kStoreRetryMessage},
        // The record name alone, none of the store engine's words with it.
        {L"empty record DatFileInfo", false, false, true, kStoreRetryMessage},
        {L"BAD SQL", true, false, true, BridgeTextMessage(L"BAD SQL")},
        {L"file is not a database", true, false, false, BridgeTextMessage(L"file is not a database")},
        {L"", true, false, true, kGeneralRetryMessage},
        {L"", false, false, false, kFrameworkMessage},
    };
    for (const Case& c : cases) {
        bool asked = false;
        const std::wstring message = ChooseRegenerationMessage(c.error, c.hasCjk, c.zhCn, [&] {
            asked = true;
            return c.dotNet;
        });
        EXPECT_EQ(c.message, message) << c.error.size() << c.hasCjk << c.zhCn << c.dotNet;
        // The framework test is asked only on the branches that depend on it.
        const bool dependsOnFramework = c.message == kStoreRetryMessage ||
                                        c.message == kGeneralRetryMessage || c.message == kFrameworkMessage;
        EXPECT_EQ(dependsOnFramework, asked);
    }
    EXPECT_EQ(L"软件加载失败！\nboom\n更多解决请咨询软件服务人员，咨询电话：19999999999",
              BridgeTextMessage(L"boom"));
}

TEST(FailureDiagnosis, ReducesTextsThatNameTheRuntimeFiles) {
    EXPECT_EQ(L"原因：文件或路径错误。", ReduceFailureText(L"Cannot open D:\\x\\InPrRtm.exe now.\r\n"));
    EXPECT_EQ(L"原因：文件或路径错误。", ReduceFailureText(L"CacheDat"));
    EXPECT_EQ(L"Access denied.\r\n", ReduceFailureText(L"Access denied.\r\n"));
    EXPECT_EQ(L"inprrtm.exe", ReduceFailureText(L"inprrtm.exe"));
}

// The retry itself is seen through the real launcher started inside a job
// that forbids breakaway (launch scenarios). The refusals that must not be
// retried cannot be staged there: the same error outside any job, an error of
// the retry itself, and other errors inside the job.
TEST(BreakawayRetry, NoOtherFailureIsRetried) {
    EXPECT_FALSE(ShouldRetryWithoutBreakaway(ERROR_ACCESS_DENIED, CREATE_BREAKAWAY_FROM_JOB, false));
    EXPECT_FALSE(ShouldRetryWithoutBreakaway(ERROR_ACCESS_DENIED, 0, true));
    EXPECT_FALSE(ShouldRetryWithoutBreakaway(ERROR_FILE_NOT_FOUND, CREATE_BREAKAWAY_FROM_JOB, true));
    EXPECT_FALSE(ShouldRetryWithoutBreakaway(ERROR_BAD_EXE_FORMAT, CREATE_BREAKAWAY_FROM_JOB, true));
}

TEST(ShellStartError, TheLastErrorWinsAndOtherwiseTheShellsCodeSaysWhatFailed) {
    const struct {
        DWORD lastError;
        INT_PTR shellResult;
        DWORD expected;
    } cases[] = {
        {ERROR_CANCELLED, SE_ERR_ACCESSDENIED, ERROR_CANCELLED},
        {ERROR_SUCCESS, SE_ERR_FNF, ERROR_FILE_NOT_FOUND},
        {ERROR_SUCCESS, SE_ERR_PNF, ERROR_PATH_NOT_FOUND},
        {ERROR_SUCCESS, SE_ERR_ACCESSDENIED, ERROR_ACCESS_DENIED},
        {ERROR_SUCCESS, ERROR_BAD_FORMAT, ERROR_BAD_FORMAT},
        {ERROR_SUCCESS, 0, ERROR_NOT_ENOUGH_MEMORY},
        {ERROR_SUCCESS, SE_ERR_SHARE, ERROR_SHARING_VIOLATION},
        {ERROR_SUCCESS, SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},
        {ERROR_SUCCESS, SE_ERR_ASSOCINCOMPLETE, ERROR_NO_ASSOCIATION},
        {ERROR_SUCCESS, SE_ERR_DDEBUSY, ERROR_DDE_FAIL},
        {ERROR_SUCCESS, SE_ERR_DLLNOTFOUND, ERROR_DLL_NOT_FOUND},
        {ERROR_SUCCESS, 33, ERROR_UNIDENTIFIED_ERROR},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(row.expected, ShellStartError(row.lastError, row.shellResult))
            << row.lastError << " " << row.shellResult;
    }
}

TEST(RestartChain, RestartsThreeTimesInARowWithinAMinuteThenStops) {
    constexpr unsigned long long kSecond = 10000000ULL;
    const unsigned long long now = 134000000000000000ULL;
    const std::wstring then = std::to_wstring(now - 10 * kSecond);
    const std::wstring fresh = L"1," + std::to_wstring(now);
    struct Case {
        std::wstring inherited;
        bool restart;
        std::wstring next;
    } cases[] = {
        // A start by the user, then the chain it begins.
        {L"", true, fresh},
        {L"1," + then, true, L"2," + then},
        {L"2," + then, true, L"3," + then},
        {L"3," + then, false, L""},
        {L"7," + then, false, L""},
        {L"0," + then, true, L"1," + then},
        {L"3," + std::to_wstring(now), false, L""},
        // The window's edge: 60 s after the first restart still counts, a moment later not.
        {L"3," + std::to_wstring(now - 60 * kSecond), false, L""},
        {L"3," + std::to_wstring(now - 60 * kSecond - 1), true, fresh},
        {L"3,0", true, fresh},
        // From the future: the clock was set back, or the value was made up.
        {L"3," + std::to_wstring(now + 1), true, fresh},
        // Malformed values are no chain at all.
        {L"3", true, fresh},
        {L"3,", true, fresh},
        {L"," + then, true, fresh},
        {L"x," + then, true, fresh},
        {L"-1," + then, true, fresh},
        {L" 3," + then, true, fresh},
        {L"3," + then + L" ", true, fresh},
        {L"3," + then + L",1", true, fresh},
        {L"3,+" + then, true, fresh},
        {L"99999999999999999999," + then, true, fresh},
        {L"3,99999999999999999999", true, fresh},
    };
    for (const Case& c : cases) {
        const RestartDecision decision = DecideRestart(c.inherited, now);
        EXPECT_EQ(c.restart, decision.restart) << std::string(c.inherited.begin(), c.inherited.end());
        EXPECT_EQ(c.next, decision.chainForNextCopy) << std::string(c.inherited.begin(), c.inherited.end());
    }
}

TEST(RestartChain, AChainOfCopiesStopsAtTheFourthRequest) {
    const unsigned long long start = 134000000000000000ULL;
    std::wstring inherited;
    int restarts = 0;
    for (int request = 0; request < 10; ++request) {
        const RestartDecision decision = DecideRestart(inherited, start + request * 10000000ULL);
        if (!decision.restart) {
            break;
        }
        ++restarts;
        inherited = decision.chainForNextCopy;
    }
    EXPECT_EQ(3, restarts);
}

TEST(RestartChain, TheInheritedValueIsTakenOutOfTheEnvironment) {
    ASSERT_TRUE(::SetEnvironmentVariableW(kRestartChainVariable, L"2,134000000000000000"));
    EXPECT_EQ(L"2,134000000000000000", TakeInheritedRestartChain());
    EXPECT_EQ(0u, ::GetEnvironmentVariableW(kRestartChainVariable, nullptr, 0))
        << "the main application and the updater would inherit it";
    EXPECT_EQ(L"", TakeInheritedRestartChain());
    PassRestartChainOn(L"1,5");
    EXPECT_EQ(L"1,5", TakeInheritedRestartChain());
}
