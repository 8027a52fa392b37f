#include "platform/crt/textfile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/scratch_dir.h"

namespace {

using testsupport::Bytes;
using testsupport::Put;

// Each test runs in a fresh directory of its own, as the game runs in its data folder.
class TextFileTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(m_scratch.Enter("crt_textfile")); }
    void TearDown() override { m_scratch.Leave(); }

    testsupport::ScratchDir m_scratch;
};

TEST(DataFileName, BackslashesBecomeSlashes) {
    EXPECT_EQ(crt::DataFileName("img\\101.jpg"), "img/101.jpg");
    EXPECT_EQ(crt::DataFileName("score.1"), "score.1");
    EXPECT_EQ(crt::DataFileName("a\\b\\c"), "a/b/c");
}

TEST_F(TextFileTest, WritingStoresCrLf) {
    crt::TextFile f;
    ASSERT_TRUE(f.Open("score.1", "w"));
    EXPECT_TRUE(f.Write("0\n\n"));
    EXPECT_TRUE(f.Printf("%d\n%s\n", 500, "\xC9\xFA"));
    EXPECT_TRUE(f.Write("tail"));
    ASSERT_TRUE(f.Close());
    EXPECT_EQ(Bytes("score.1"), "0\r\n\r\n500\r\n\xC9\xFA\r\ntail");
}

TEST_F(TextFileTest, ReadingTurnsCrLfIntoLfAndKeepsLoneCr) {
    Put("url.txt", "one\r\ntwo\rthree\r\n\r\nlast\r");
    crt::TextFile f;
    ASSERT_TRUE(f.Open("url.txt", "r"));
    char buf[80];
    ASSERT_NE(f.Gets(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "one\n");
    ASSERT_NE(f.Gets(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "two\rthree\n");
    ASSERT_NE(f.Gets(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "\n");
    ASSERT_NE(f.Gets(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "last\r");
    EXPECT_EQ(f.Gets(buf, sizeof buf), nullptr);
}

TEST_F(TextFileTest, GetsStopsAtTheBufferLimitAndGoesOnNextCall) {
    const std::string longLine(100, 'x');
    Put("score.2", longLine + "\r\n123\r\n");
    crt::TextFile f;
    ASSERT_TRUE(f.Open("score.2", "r"));
    char buf[80];
    ASSERT_NE(f.Gets(buf, sizeof buf), nullptr);
    EXPECT_EQ(std::string(buf), std::string(79, 'x'));
    ASSERT_NE(f.Gets(buf, sizeof buf), nullptr);
    EXPECT_EQ(std::string(buf), std::string(21, 'x') + "\n");
    ASSERT_NE(f.Gets(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "123\n");
    // A CR LF split across two calls still reads as one line end.
    Put("split", std::string(78, 'y') + "\r\nz");
    ASSERT_TRUE(f.Open("split", "r"));
    ASSERT_NE(f.Gets(buf, sizeof buf), nullptr);
    EXPECT_EQ(std::string(buf), std::string(78, 'y') + "\n");
    ASSERT_NE(f.Gets(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "z");
}

TEST_F(TextFileTest, ReadLineAndWholeFiles) {
    ASSERT_TRUE(crt::WriteTextFile("t.txt", "a\nbb\n\nccc"));
    EXPECT_EQ(Bytes("t.txt"), "a\r\nbb\r\n\r\nccc");
    std::string text;
    ASSERT_TRUE(crt::ReadTextFile("t.txt", text));
    EXPECT_EQ(text, "a\nbb\n\nccc");
    crt::TextFile f;
    ASSERT_TRUE(f.Open("t.txt", "r"));
    std::string line;
    ASSERT_TRUE(f.ReadLine(line));
    EXPECT_EQ(line, "a");
    ASSERT_TRUE(f.ReadLine(line));
    EXPECT_EQ(line, "bb");
    ASSERT_TRUE(f.ReadLine(line));
    EXPECT_EQ(line, "");
    ASSERT_TRUE(f.ReadLine(line));
    EXPECT_EQ(line, "ccc");
    EXPECT_FALSE(f.ReadLine(line));
}

TEST_F(TextFileTest, BackslashNamesOpenInSubfolders) {
    ASSERT_EQ(system("mkdir ads"), 0);
    ASSERT_TRUE(crt::WriteTextFile("ads\\url.txt", "http://example.org\n"));
    EXPECT_EQ(Bytes("ads/url.txt"), "http://example.org\r\n");
    std::FILE* raw = crt::OpenDataFile("ads\\url.txt", "rb");
    ASSERT_NE(raw, nullptr);
    std::fclose(raw);
    EXPECT_EQ(crt::OpenDataFile("img\\101.jpg", "rb"), nullptr);
}

TEST_F(TextFileTest, FailuresAreReported) {
    crt::TextFile f;
    EXPECT_FALSE(f.Open("missing.txt", "r"));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(f.Gets(nullptr, 10), nullptr);
    EXPECT_FALSE(f.Write("x"));
    EXPECT_FALSE(f.Open("t.txt", "rw+"));
    std::string text;
    EXPECT_FALSE(crt::ReadTextFile("missing.txt", text));
    // A device that is always full: the write or the final flush must fail.
    if (access("/dev/full", W_OK) == 0) {
        ASSERT_TRUE(f.Open("/dev/full", "w"));
        f.Write(std::string(1 << 16, 'x') + "\n");
        EXPECT_FALSE(f.Close());
        EXPECT_FALSE(crt::WriteTextFile("/dev/full", "x\n"));
    }
}

TEST_F(TextFileTest, ReplaceAndAppend) {
    ASSERT_TRUE(crt::WriteTextFile("score.3", "old\n"));
    ASSERT_TRUE(crt::WriteTextFile("score.3.tmp", "new\n"));
    ASSERT_TRUE(crt::ReplaceDataFile("score.3.tmp", "score.3"));
    EXPECT_EQ(Bytes("score.3"), "new\r\n");
    EXPECT_FALSE(crt::ReplaceDataFile("score.3.tmp", "score.3"));
    crt::TextFile f;
    ASSERT_TRUE(f.Open("score.3", "a"));
    ASSERT_TRUE(f.Write("more\n"));
    ASSERT_TRUE(f.Close());
    EXPECT_EQ(Bytes("score.3"), "new\r\nmore\r\n");
    EXPECT_TRUE(crt::RemoveDataFile("score.3"));
    EXPECT_FALSE(crt::RemoveDataFile("score.3"));
}

TEST_F(TextFileTest, ReplaceTextFileIsAllOrNothing) {
    ASSERT_TRUE(crt::WriteTextFile("score.1", "900\nold\n"));
    ASSERT_TRUE(crt::ReplaceTextFile("score.1", "500\n\xC9\xFA\n\n"));
    EXPECT_EQ(Bytes("score.1"), "500\r\n\xC9\xFA\r\n\r\n");
    // A new file is created too.
    ASSERT_TRUE(crt::ReplaceTextFile("score.2", "0\n"));
    EXPECT_EQ(Bytes("score.2"), "0\r\n");
    // A target that cannot be replaced (a folder) or a missing folder: false, nothing changed,
    // and no temporary file left behind.
    ASSERT_EQ(system("mkdir score.4"), 0);
    EXPECT_FALSE(crt::ReplaceTextFile("score.4", "0\n"));
    EXPECT_FALSE(crt::ReplaceTextFile("nowhere\\score.1", "0\n"));
    EXPECT_EQ(system("test $(ls -A | wc -l) -eq 3"), 0) << "stray files left";
}

}  // namespace
