#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/profile.h"

namespace ralvo {
namespace {

namespace fs = std::filesystem;

// A fresh directory per test, removed afterwards.
class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) /
               ("profile_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = (dir_ / "Ralvo.INI").string();
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }
    void Put(const std::string& bytes) { std::ofstream(file_, std::ios::binary) << bytes; }
    std::string Get() const {
        std::ifstream in(file_, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path dir_;
    std::string file_;
};

TEST_F(ProfileTest, NewFileIsCp932WithCrLfAndReadsBack) {
    ASSERT_TRUE(WritePrivateProfileString("Score", "Gamer01", "ラルボ～", file_));
    ASSERT_TRUE(WritePrivateProfileString("Score", "Score01", "1200", file_));
    EXPECT_EQ(Get(), "[Score]\r\nGamer01=\x83\x89\x83\x8b\x83\x7b\x81\x60\r\nScore01=1200\r\n");
    EXPECT_EQ(GetPrivateProfileString("Score", "Gamer01", "x", file_), "ラルボ～");
    EXPECT_EQ(GetPrivateProfileInt("Score", "Score01", 0, file_), 1200);
    EXPECT_TRUE(fs::is_empty(dir_) == false);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1) << "temporary file left";
}

TEST_F(ProfileTest, ReplacesAValueInPlaceKeepingEverythingElse) {
    const std::string before =
        "; settings\n[Other]\nSound=7\n\n[setup]\nSound = -1\nSkill=2\n[Debug]\nDebug=1\n";
    Put(before);
    fs::permissions(file_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                    fs::perm_options::replace);
    ASSERT_TRUE(WritePrivateProfileString("SETUP", "sound", "0", file_));
    EXPECT_EQ(Get(), "; settings\n[Other]\nSound=7\n\n[setup]\nSound = 0\nSkill=2\n[Debug]\nDebug=1\n");
    EXPECT_EQ(fs::status(file_).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(ProfileTest, AddsANewKeyAfterTheLastKeyOfItsSection) {
    struct Case {
        const char* name;
        std::string before;
        std::string after;
    } cases[] = {
        {"before the blank line", "[Setup]\r\nSound=-1\r\nSkill=0\r\n\r\n[Other]\r\nA=1\r\n",
         "[Setup]\r\nSound=-1\r\nSkill=0\r\nUseKey=-1\r\n\r\n[Other]\r\nA=1\r\n"},
        {"empty section", "[Setup]\n\n[Other]\nA=1\n", "[Setup]\nUseKey=-1\n\n[Other]\nA=1\n"},
        {"last line without a line end", "[Setup]\r\nSound=-1", "[Setup]\r\nSound=-1\r\nUseKey=-1\r\n"},
        {"new section after the others", "[Other]\nA=1", "[Other]\nA=1\n\n[Setup]\nUseKey=-1\n"},
        {"new section in an empty file", "", "[Setup]\r\nUseKey=-1\r\n"},
    };
    for (const auto& c : cases) {
        Put(c.before);
        ASSERT_TRUE(WritePrivateProfileString("Setup", "UseKey", "-1", file_)) << c.name;
        EXPECT_EQ(Get(), c.after) << c.name;
    }
}

TEST_F(ProfileTest, ReadingFindsKeysLikeWindowsDoes) {
    Put("Loose=0\r\n[Config]\r\n  Stage00 =  1, 2 ,3  \r\nEmpty=\r\nstage01=first\r\nSTAGE01=second\r\n"
        "; Skill00=9\r\n[Config2]\nX=lf\n[config]\nStage02=later\n");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Config", "Stage00", "1, 2 ,3"},     // blanks around key and value dropped
        {"CONFIG", "stage00", "1, 2 ,3"},     // names match in any case
        {"Config", "Empty", ""},              // present but empty is not the default
        {"Config", "Stage01", "first"},       // the first of duplicate keys
        {"Config", "Skill00", "EOL"},         // comment lines hold no keys
        {"Config", "Stage02", "EOL"},         // only the first section of a name is searched
        {"Config2", "X", "lf"},               // LF line ends read as well
        {"Nothing", "Stage00", "EOL"},        // missing section
        {"Config", "Loose", "EOL"},           // keys before any section belong to none
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetPrivateProfileString(c.section, c.key, "EOL", file_), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(GetPrivateProfileString("Config", "Stage00", "EOL", (dir_ / "missing.CFG").string()), "EOL");
    EXPECT_EQ(GetPrivateProfileString("Config", "Stage00", "EOL", dir_.string()), "EOL");  // a directory
}

TEST_F(ProfileTest, IntegersAreSignedDecimalAndClampedAtTheEnds) {
    struct Case {
        const char* value;
        int32_t expected;
    } cases[] = {
        {"-1", -1},        {"  +12abc", 12},  {"abc", 0},           {"", 0},
        {"0x10", 0},       {"- 5", 0},        {"007", 7},           {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},            {"-2147483648", INT32_MIN},
        {"-99999999999999999999", INT32_MIN}, {"99999999999999999999", INT32_MAX},
    };
    for (const auto& c : cases) {
        Put(std::string("[Setup]\nSkill=") + c.value + "\n");
        EXPECT_EQ(GetPrivateProfileInt("Setup", "Skill", 42, file_), c.expected) << '"' << c.value << '"';
    }
    EXPECT_EQ(GetPrivateProfileInt("Setup", "Other", 42, file_), 42);
    EXPECT_EQ(GetPrivateProfileInt("Setup", "Skill", -1, (dir_ / "none.INI").string()), -1);
}

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

TEST_F(ProfileTest, LongValuesStopAt199BytesWithoutSplittingACharacter) {
    struct Case {
        std::string stored;  // CP932 bytes
        std::string expected;
    } cases[] = {
        {std::string(199, 'a'), std::string(199, 'a')},
        {std::string(250, 'b'), std::string(199, 'b')},
        {std::string(198, 'c') + "\x83\x41", std::string(198, 'c')},          // "ア" would end at byte 200
        {std::string(197, 'd') + "\x83\x41", std::string(197, 'd') + "ア"},   // fits exactly
        {Repeat("\x83\x89", 100), Repeat("ラ", 99)},                          // 200 bytes of "ラ"
        {"x" + Repeat("\x83\x89", 100), "x" + Repeat("ラ", 99)},
    };
    for (const auto& c : cases) {
        Put("[Score]\r\nGamer01=" + c.stored + "\r\n");
        EXPECT_EQ(GetPrivateProfileString("Score", "Gamer01", "", file_), c.expected) << c.stored.size();
    }
}

TEST_F(ProfileTest, DoubleByteNamesAreNeitherFoldedNorSplit) {
    // "ア" is 83 41 and "ヂ" is 83 61: their trail bytes are 'A' and 'a'.
    // "ゾ" is 83 5D: its trail byte is ']'. "ソ" is 83 5C: a backslash.
    ASSERT_TRUE(WritePrivateProfileString("ゾ", "ア", "1", file_));
    ASSERT_TRUE(WritePrivateProfileString("ゾ", "ヂ", "2", file_));
    ASSERT_TRUE(WritePrivateProfileString("ゾ", "ア", "3", file_));
    ASSERT_TRUE(WritePrivateProfileString("ソ", "k", "ソ=表", file_));
    EXPECT_EQ(GetPrivateProfileString("ゾ", "ア", "", file_), "3");
    EXPECT_EQ(GetPrivateProfileString("ゾ", "ヂ", "", file_), "2");
    EXPECT_EQ(GetPrivateProfileString("ソ", "k", "", file_), "ソ=表");
    EXPECT_EQ(Get(), "[\x83\x5D]\r\n\x83\x41=3\r\n\x83\x61=2\r\n\r\n[\x83\x5C]\r\nk=\x83\x5C=\x95\x5C\r\n");
}

TEST_F(ProfileTest, LineBreaksInAValueCannotSplitTheEntry) {
    ASSERT_TRUE(WritePrivateProfileString("Score", "Gamer01", "a\r\nb\nc", file_));
    ASSERT_TRUE(WritePrivateProfileString("Score", "Score01", "5", file_));
    EXPECT_EQ(GetPrivateProfileString("Score", "Gamer01", "", file_), "a  b c");
    EXPECT_EQ(GetPrivateProfileInt("Score", "Score01", 0, file_), 5);
}

TEST(Cp932, ConversionsReplaceWhatCannotBeHeld) {
    struct Case {
        std::string utf8;
        std::string cp932;
    } toCp932[] = {
        {"ラルボ", "\x83\x89\x83\x8b\x83\x7b"},
        {"～", "\x81\x60"},
        {"〜", "\x81\x60"},  // the wave dash is stored as the full-width tilde
        {"A€B", "A?B"},      // no euro sign in the code page
        {"x😀y", "x?y"},
        {"a\xff" "b", "a?b"},    // malformed UTF-8
        {"ab\xe3\x83", "ab?"},   // cut-off character at the end
    };
    for (const auto& c : toCp932) EXPECT_EQ(Utf8ToCp932(c.utf8), c.cp932) << c.utf8;

    EXPECT_EQ(Cp932ToUtf8("\x83\x89\x83\x8b\x83\x7b\x81\x60"), "ラルボ～");
    EXPECT_EQ(Cp932ToUtf8("\xb1\xdd"), "ｱﾝ");                 // half-width katakana
    EXPECT_EQ(Cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");         // lead byte at the end
    EXPECT_EQ(Cp932ToUtf8("a\xff" "b"), "a\xEF\xBF\xBD" "b");  // not a character
}

TEST_F(ProfileTest, AnUnconvertibleCharacterIsStoredAsAQuestionMark) {
    ASSERT_TRUE(WritePrivateProfileString("Score", "Gamer01", "A€B", file_));
    EXPECT_EQ(Get(), "[Score]\r\nGamer01=A?B\r\n");
}

bool CanBypassPermissions() { return geteuid() == 0; }

TEST_F(ProfileTest, AFailedWriteLeavesTheOriginalUntouched) {
    const std::string original = "[Setup]\r\nSound=-1\r\n";
    // The settings path is a directory.
    const std::string asDir = (dir_ / "Dir.INI").string();
    fs::create_directory(asDir);
    EXPECT_FALSE(WritePrivateProfileString("Setup", "Sound", "0", asDir));
    EXPECT_TRUE(fs::is_directory(asDir));
    // The directory does not exist.
    EXPECT_FALSE(WritePrivateProfileString("Setup", "Sound", "0", (dir_ / "no" / "Ralvo.INI").string()));

    if (CanBypassPermissions()) GTEST_SKIP() << "permissions do not stop root";
    // The directory is read-only: no temporary file can be made.
    Put(original);
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
    EXPECT_FALSE(WritePrivateProfileString("Setup", "Sound", "0", file_));
    EXPECT_FALSE(WritePrivateProfileString("Setup", "UseKey", "0", file_));
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::replace);
    EXPECT_EQ(Get(), original);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);  // file and Dir.INI
    // The file cannot be read: it is not overwritten blindly.
    fs::permissions(file_, fs::perms::owner_write, fs::perm_options::replace);
    EXPECT_FALSE(WritePrivateProfileString("Setup", "Sound", "0", file_));
    fs::permissions(file_, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
    EXPECT_EQ(Get(), original);
}

}  // namespace
}  // namespace ralvo
