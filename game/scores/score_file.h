// The high-score tables: one text file per difficulty, "score.1" to "score.4", in the current
// directory. Each holds ten entries of two lines, rank 1 first: the score as decimal digits and
// the player's name (code page 936, up to 60 bytes, possibly empty). Lines end with CR LF on disk.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace scores {

constexpr int kEntryCount = 10;
constexpr int kLineLimit = 80;  // bytes of a line read, without its line end
constexpr int kNameLimit = 60;  // bytes of a name, code page 936

// One entry as read: both lines with their line end ("\n"), and the score's value.
struct ScoreEntry {
    std::string scoreLine = "0\n";
    int score = 0;
    std::string nameLine = "\n";
};

struct ScoreTable {
    std::array<ScoreEntry, kEntryCount> entries;
};

// "score.%d".
std::string ScoreFileName(int difficulty);

// The value of a score line as the C library's decimal conversion gives it: leading white space
// and a sign allowed, digits up to the first other character, 0 when there are none; a value
// beyond the int range saturates.
int ScoreValue(std::string_view line);

// Reads a table from text already in memory with its line ends as "\n". Each line is cut to
// 80 bytes (the rest of an overlong line is dropped, so the two-lines-per-entry structure
// holds); entries the text does not reach read as score 0 with an empty name. A last line
// without its line end gets one.
ScoreTable ParseScoreTable(std::string_view text);

// Reads "score.%d". False when the file cannot be opened or read (the table is then all zero).
bool ReadScoreTable(int difficulty, ScoreTable& table);

// The rank 1..10 the score would take: the first entry whose score is less than or equal to
// it, so a tie goes above. 0 when the score is below all ten.
int RankOf(const ScoreTable& table, int score);

// The table with the new entry at `rank` (1..10): the score as "%d\n", the name and "\n"; the
// old entries from that rank on move down by one and the old rank 10 is dropped. The name is
// cut to 60 bytes and at its first line end.
ScoreTable InsertScore(const ScoreTable& table, int rank, int score, std::string_view nameCp936);

// The text of a table, twenty lines with "\n" line ends.
std::string FormatScoreTable(const ScoreTable& table);

// Rewrites "score.%d" through a temporary file renamed over it, so a failure half-way leaves
// the old table. False (silently, for the caller) when it could not be written.
bool WriteScoreTable(int difficulty, const ScoreTable& table);

// The text of a cleared table: ten times "0" and an empty line.
std::string ClearedTableText();

// One row of the leaderboard: the two lines of an entry as the file has them, trailing white
// space removed (the score is shown as text, not converted), in UTF-8.
struct ScoreRow {
    std::string score;
    std::string name;
};

// Reads the rows of "score.%d" for display. False when the file cannot be opened.
bool ReadScoreRows(int difficulty, std::array<ScoreRow, kEntryCount>& rows);

// Resets the four tables, each by itself; a file that cannot be written is skipped. Returns
// how many were written.
int ResetScoreFiles();

}  // namespace scores
