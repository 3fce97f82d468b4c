#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/files.h"

namespace ralvo {
namespace {

namespace fs = std::filesystem;

std::string TestPath(const std::string& name) { return (fs::path(::testing::TempDir()) / name).string(); }

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(RecordFile, ReadsRecordsAndZeroFillsWhatLiesPastTheEnd) {
    // 100 bytes with 40-byte records: two whole records and half of a third.
    const std::string path = TestPath("records.dat");
    std::string bytes;
    for (int i = 0; i < 100; ++i) bytes += static_cast<char>(i + 1);
    std::ofstream(path, std::ios::binary) << bytes;

    RecordFile f;
    ASSERT_TRUE(f.Open(path, 40));
    EXPECT_EQ(f.Length(), 100);
    struct Case {
        int64_t n;
        bool ok;
        int firstByte;   // value of byte 0 of the record
        int validBytes;  // bytes from the file; the rest must be zero
    } cases[] = {
        {1, true, 1, 40}, {2, true, 41, 40}, {3, true, 81, 20}, {4, true, 0, 0}, {1000, true, 0, 0},
        {0, false, 0, 0}, {-1, false, 0, 0},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> rec(3, 0xee);
        EXPECT_EQ(f.Read(c.n, rec), c.ok) << c.n;
        if (!c.ok) continue;
        ASSERT_EQ(rec.size(), 40u) << c.n;
        for (int i = 0; i < 40; ++i) {
            const int expected = i < c.validBytes ? c.firstByte + i : 0;
            ASSERT_EQ(rec[i], expected) << "record " << c.n << " byte " << i;
        }
    }
    EXPECT_TRUE(f.Close());
    EXPECT_FALSE(f.IsOpen());
    std::vector<uint8_t> rec;
    EXPECT_FALSE(f.Read(1, rec));
}

TEST(RecordFile, OpenFailsOnMissingFilesAndDirectories) {
    RecordFile f;
    EXPECT_FALSE(f.Open(TestPath("no-such.dat"), 40));
    EXPECT_FALSE(f.Open(::testing::TempDir(), 40));
    const std::string empty = TestPath("empty.dat");
    std::ofstream(empty, std::ios::binary).close();
    ASSERT_TRUE(f.Open(empty, 502));
    EXPECT_EQ(f.Length(), 0);
    std::vector<uint8_t> rec;
    EXPECT_TRUE(f.Read(1, rec));
    EXPECT_EQ(rec, std::vector<uint8_t>(502, 0));
}

TEST(AppendTextFile, CreatesThenAppendsCp932WithCrLf) {
    const std::string path = TestPath("Dump.Log");
    fs::remove(path);
    ASSERT_TRUE(AppendTextFile(path, "ラルボ\n"));
    ASSERT_TRUE(AppendTextFile(path, "a\r\nb€\n"));
    EXPECT_EQ(ReadBytes(path), "\x83\x89\x83\x8b\x83\x7b\r\na\r\nb?\r\n");
    EXPECT_FALSE(AppendTextFile(::testing::TempDir(), "x"));
    EXPECT_FALSE(AppendTextFile(TestPath("no/dir/Dump.Log"), "x"));
}

TEST(FileExists, OnlyForRegularFiles) {
    const std::string path = TestPath("exists.txt");
    std::ofstream(path) << "x";
    EXPECT_TRUE(FileExists(path));
    EXPECT_FALSE(FileExists(TestPath("missing.txt")));
    EXPECT_FALSE(FileExists(::testing::TempDir()));
    EXPECT_FALSE(FileExists(""));
}

}  // namespace
}  // namespace ralvo
