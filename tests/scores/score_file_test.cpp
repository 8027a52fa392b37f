// The score tables on disk: reading with the line limit and the C conversion, the insertion
// rule, the exact bytes written, the repair of broken files and the all-or-nothing rewrite.
#include "game/scores/score_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/scratch_dir.h"

namespace {

using testsupport::Bytes;
using testsupport::Put;

using scores::ScoreTable;

class ScoreFileTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(m_scratch.Enter("scores_test")); }
    void TearDown() override { m_scratch.Leave(); }
    // A table file on disk, CR LF line ends, from score/name pairs.
    static std::string TableBytes(std::initializer_list<std::pair<const char*, const char*>> rows) {
        std::string bytes;
        for (const auto& [score, name] : rows) bytes += std::string(score) + "\r\n" + name + "\r\n";
        return bytes;
    }

    testsupport::ScratchDir m_scratch;
};

const char* const kCleared =
    "0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n";

TEST(ScoreValue, ConvertsAsTheCLibraryDoes) {
    EXPECT_EQ(scores::ScoreValue("1250\n"), 1250);
    EXPECT_EQ(scores::ScoreValue("  \t-12abc"), -12);
    EXPECT_EQ(scores::ScoreValue("+7"), 7);
    EXPECT_EQ(scores::ScoreValue("0500 "), 500);
    EXPECT_EQ(scores::ScoreValue("abc"), 0);
    EXPECT_EQ(scores::ScoreValue(""), 0);
    EXPECT_EQ(scores::ScoreValue("- 5"), 0);
    EXPECT_EQ(scores::ScoreValue("99999999999999999999"), INT_MAX);
    EXPECT_EQ(scores::ScoreValue("-99999999999999999999"), INT_MIN);
}

TEST(ScoreTable, InsertionRule) {
    ScoreTable t = scores::ParseScoreTable(
        "900\na\n700\nb\n500\nc\n300\nd\n200\ne\n150\nf\n100\ng\n80\nh\n60\ni\n40\nj\n");
    ASSERT_EQ(t.entries[9].score, 40);
    // 500 ranks 3, above the old 500 (a tie goes above); the old rank 10 is dropped.
    EXPECT_EQ(scores::RankOf(t, 500), 3);
    const ScoreTable n = scores::InsertScore(t, 3, 500, "new");
    EXPECT_EQ(n.entries[2].scoreLine, "500\n");
    EXPECT_EQ(n.entries[2].nameLine, "new\n");
    EXPECT_EQ(n.entries[3].nameLine, "c\n");
    EXPECT_EQ(n.entries[9].nameLine, "i\n");
    EXPECT_EQ(scores::FormatScoreTable(n),
              "900\na\n700\nb\n500\nnew\n500\nc\n300\nd\n200\ne\n150\nf\n100\ng\n80\nh\n60\ni\n");
    // Equal to rank 10 ranks 10; below all ten ranks nowhere.
    EXPECT_EQ(scores::RankOf(t, 40), 10);
    EXPECT_EQ(scores::RankOf(t, 39), 0);
    EXPECT_EQ(scores::InsertScore(t, 10, 40, "x").entries[9].nameLine, "x\n");
    // On a cleared table every score takes rank 1, even 0.
    EXPECT_EQ(scores::RankOf(scores::ParseScoreTable(scores::ClearedTableText()), 0), 1);
    // Negative scores (prizes can take points away) still compare as numbers.
    EXPECT_EQ(scores::RankOf(scores::ParseScoreTable(scores::ClearedTableText()), -10), 0);
}

TEST(ScoreTable, NameIsCutToSixtyBytesWithoutSplittingACharacter) {
    const ScoreTable t = scores::ParseScoreTable(scores::ClearedTableText());
    const std::string sixtyOne(61, 'n');
    EXPECT_EQ(scores::InsertScore(t, 1, 5, sixtyOne).entries[0].nameLine,
              std::string(60, 'n') + "\n");
    // 59 ASCII bytes then a two-byte character: the character does not fit and is left out.
    const std::string mixed = std::string(59, 'n') + "\xC9\xFA";
    EXPECT_EQ(scores::InsertScore(t, 1, 5, mixed).entries[0].nameLine, std::string(59, 'n') + "\n");
    // A line end inside the name would break the table's structure.
    EXPECT_EQ(scores::InsertScore(t, 1, 5, "ab\r\ncd").entries[0].nameLine, "ab\n");
}

TEST(ScoreTable, ShortAndOverlongFilesReadAsTenEntries) {
    // Three lines only: the second entry has no name, the rest are missing.
    ScoreTable t = scores::ParseScoreTable("700\nzhang\n300");
    EXPECT_EQ(t.entries[0].score, 700);
    EXPECT_EQ(t.entries[1].score, 300);
    EXPECT_EQ(t.entries[1].scoreLine, "300\n");
    EXPECT_EQ(t.entries[1].nameLine, "\n");
    for (int i = 2; i < 10; ++i) {
        EXPECT_EQ(t.entries[i].score, 0);
        EXPECT_EQ(t.entries[i].scoreLine, "0\n");
    }
    EXPECT_EQ(scores::FormatScoreTable(t),
              "700\nzhang\n300\n\n" + std::string("0\n\n0\n\n0\n\n0\n\n0\n\n0\n\n0\n\n0\n\n"));
    // An overlong name keeps its first 80 bytes and the next line is still the next score.
    t = scores::ParseScoreTable("900\n" + std::string(100, 'x') + "\n800\ny\n");
    EXPECT_EQ(t.entries[0].nameLine, std::string(80, 'x') + "\n");
    EXPECT_EQ(t.entries[1].score, 800);
    EXPECT_EQ(t.entries[1].nameLine, "y\n");
}

TEST_F(ScoreFileTest, ReadsCrLfFilesAndKeepsLinesAsRead) {
    Put("score.2", TableBytes({{"0900 ", "\xC9\xFA"}, {"700", ""}, {"  650", "w"}}));
    ScoreTable t;
    ASSERT_TRUE(scores::ReadScoreTable(2, t));
    EXPECT_EQ(t.entries[0].score, 900);
    EXPECT_EQ(t.entries[0].scoreLine, "0900 \n");
    EXPECT_EQ(t.entries[0].nameLine, "\xC9\xFA\n");
    EXPECT_EQ(t.entries[2].score, 650);
    EXPECT_EQ(t.entries[3].score, 0);
    // Rewritten with a new rank 2: the other lines keep their bytes.
    ASSERT_TRUE(scores::WriteScoreTable(2, scores::InsertScore(t, 2, 800, "\xC3\xFC")));
    EXPECT_EQ(Bytes("score.2"),
              "0900 \r\n\xC9\xFA\r\n800\r\n\xC3\xFC\r\n700\r\n\r\n  650\r\nw\r\n" +
                  std::string("0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n"));
}

TEST_F(ScoreFileTest, OverlongLinesAreRepairedByTheNextWrite) {
    const std::string longName(200, 'q');
    Put("score.3", "900\r\n" + longName + "\r\n800\r\nok\r\n");
    ScoreTable t;
    ASSERT_TRUE(scores::ReadScoreTable(3, t));
    EXPECT_EQ(t.entries[0].nameLine, std::string(80, 'q') + "\n");
    EXPECT_EQ(t.entries[1].score, 800);
    ASSERT_TRUE(scores::WriteScoreTable(3, t));
    const std::string bytes = Bytes("score.3");
    EXPECT_EQ(bytes.substr(0, 5 + 82 + 5 + 4),
              "900\r\n" + std::string(80, 'q') + "\r\n800\r\nok\r\n");
    int lines = 0;
    for (std::size_t p = bytes.find("\r\n"); p != std::string::npos; p = bytes.find("\r\n", p + 2))
        ++lines;
    EXPECT_EQ(lines, 20);
}

TEST_F(ScoreFileTest, MissingOrUnreadableFileIsNoTable) {
    ScoreTable t;
    EXPECT_FALSE(scores::ReadScoreTable(1, t));
    ASSERT_EQ(system("mkdir score.4"), 0);
    EXPECT_FALSE(scores::ReadScoreTable(4, t));
    std::array<scores::ScoreRow, scores::kEntryCount> rows;
    EXPECT_FALSE(scores::ReadScoreRows(1, rows));
}

TEST_F(ScoreFileTest, FailedRewriteKeepsTheOldTable) {
    Put("score.1", TableBytes({{"900", "keep"}}));
    ASSERT_TRUE(scores::WriteScoreTable(1, scores::ParseScoreTable("100\nnew\n")));
    EXPECT_EQ(Bytes("score.1").substr(0, 10), "100\r\nnew\r\n");
    // A table that cannot be replaced (here a folder in its place) stays as it was, and no
    // temporary file is left beside it.
    ASSERT_EQ(system("mkdir score.2"), 0);
    EXPECT_FALSE(scores::WriteScoreTable(2, scores::ParseScoreTable("100\nnew\n")));
    EXPECT_EQ(system("test -d score.2 && test $(ls -A | wc -l) -eq 2"), 0) << "stray files left";
}

TEST_F(ScoreFileTest, ResetWritesAllFourTablesAndSkipsWhatItCannotWrite) {
    Put("score.1", TableBytes({{"900", "a"}}));
    ASSERT_EQ(system("mkdir score.3"), 0);
    EXPECT_EQ(scores::ResetScoreFiles(), 3);
    EXPECT_EQ(Bytes("score.1"), kCleared);
    EXPECT_EQ(Bytes("score.2"), kCleared);
    EXPECT_EQ(Bytes("score.4"), kCleared);
    ScoreTable t;
    ASSERT_TRUE(scores::ReadScoreTable(2, t));
    EXPECT_EQ(scores::RankOf(t, 0), 1);
}

TEST_F(ScoreFileTest, RowsShowTheFileTextTrimmedInUtf8) {
    Put("score.1", TableBytes({{"0500 \t", "\xC9\xFA\xC3\xFC  "}, {"abc", ""}}));
    std::array<scores::ScoreRow, scores::kEntryCount> rows;
    ASSERT_TRUE(scores::ReadScoreRows(1, rows));
    EXPECT_EQ(rows[0].score, "0500");
    EXPECT_EQ(rows[0].name, "生命");
    EXPECT_EQ(rows[1].score, "abc");
    EXPECT_EQ(rows[1].name, "");
    EXPECT_EQ(rows[9].score, "0");
}

}  // namespace
