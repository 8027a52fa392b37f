#include "game/scores/score_file.h"

#include <climits>
#include <cstdio>

#include "platform/crt/codepage.h"
#include "platform/crt/textfile.h"

namespace scores {
namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string TrimTrailingSpace(std::string s) {
    while (!s.empty() && IsCSpace(s.back())) s.pop_back();
    return s;
}

// The text up to the first NUL, as "%s" formats a line buffer.
std::string UpToNul(const std::string& s) { return s.substr(0, s.find('\0')); }

// The longest prefix of a code page 936 text of at most `limit` bytes that does not split a
// double-byte character (lead bytes 0x81 to 0xFE take the next byte with them).
std::string_view CutCp936(std::string_view text, std::size_t limit) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[pos]);
        const std::size_t len = (c >= 0x81 && c <= 0xFE && pos + 1 < text.size()) ? 2 : 1;
        if (pos + len > limit) break;
        pos += len;
    }
    return text.substr(0, pos);
}

}  // namespace

std::string ScoreFileName(int difficulty) {
    char name[32];
    std::snprintf(name, sizeof name, "score.%d", difficulty);
    return name;
}

int ScoreValue(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && IsCSpace(line[i])) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) {
        negative = line[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        value = value * 10 + (line[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return static_cast<int>(value);
}

ScoreTable ParseScoreTable(std::string_view text) {
    ScoreTable table;
    std::size_t pos = 0;
    // The next line with its "\n", cut to 80 bytes; false when the text is used up.
    auto nextLine = [&](std::string& line) {
        if (pos >= text.size()) return false;
        const std::size_t nl = text.find('\n', pos);
        const std::size_t end = nl == std::string_view::npos ? text.size() : nl;
        std::size_t length = end - pos;
        if (length > static_cast<std::size_t>(kLineLimit)) length = kLineLimit;
        line.assign(text.substr(pos, length));
        line += '\n';
        pos = nl == std::string_view::npos ? text.size() : nl + 1;
        return true;
    };
    for (ScoreEntry& entry : table.entries) {
        std::string line;
        if (!nextLine(line)) break;
        entry.scoreLine = line;
        entry.score = ScoreValue(line);
        if (!nextLine(line)) break;
        entry.nameLine = line;
    }
    return table;
}

bool ReadScoreTable(int difficulty, ScoreTable& table) {
    table = ScoreTable{};
    crt::TextFile file;
    if (!file.Open(ScoreFileName(difficulty), "r")) return false;
    // Only the first twenty lines matter, and of each only its first 80 bytes: read them in
    // bounded pieces, so that an overlong or endless line costs no memory.
    std::string text;
    std::string line;
    for (int n = 0; n < 2 * kEntryCount && file.ReadLine(line, kLineLimit); ++n) {
        text += line;
        text += '\n';
    }
    // A file that could not be read (a folder, an I/O error) counts as missing rather than as a
    // cleared table, which would take any score at rank 1 and then overwrite what is there.
    if (file.HasError()) return false;
    file.Close();
    table = ParseScoreTable(text);
    return true;
}

int RankOf(const ScoreTable& table, int score) {
    for (int i = 0; i < kEntryCount; ++i)
        if (table.entries[i].score <= score) return i + 1;
    return 0;
}

ScoreTable InsertScore(const ScoreTable& table, int rank, int score, std::string_view nameCp936) {
    if (rank < 1 || rank > kEntryCount) return table;
    const std::size_t nl = nameCp936.find_first_of("\r\n");
    if (nl != std::string_view::npos) nameCp936 = nameCp936.substr(0, nl);
    nameCp936 = CutCp936(nameCp936, kNameLimit);

    ScoreEntry entry;
    entry.scoreLine = std::to_string(score) + "\n";
    entry.score = score;
    entry.nameLine = std::string(nameCp936) + "\n";

    ScoreTable result;
    int old = 0;
    for (int i = 0; i < kEntryCount; ++i)
        result.entries[i] = i == rank - 1 ? entry : table.entries[old++];
    return result;
}

std::string FormatScoreTable(const ScoreTable& table) {
    std::string text;
    for (const ScoreEntry& e : table.entries) {
        text += e.scoreLine;
        if (text.empty() || text.back() != '\n') text += '\n';
        text += e.nameLine;
        if (text.back() != '\n') text += '\n';
    }
    return text;
}

bool WriteScoreTable(int difficulty, const ScoreTable& table) {
    return crt::ReplaceTextFile(ScoreFileName(difficulty), FormatScoreTable(table));
}

std::string ClearedTableText() {
    std::string text;
    for (int i = 0; i < kEntryCount; ++i) text += "0\n\n";
    return text;
}

bool ReadScoreRows(int difficulty, std::array<ScoreRow, kEntryCount>& rows) {
    rows = {};
    ScoreTable table;
    if (!ReadScoreTable(difficulty, table)) return false;
    for (int i = 0; i < kEntryCount; ++i) {
        rows[i].score = crt::Cp936ToUtf8(TrimTrailingSpace(UpToNul(table.entries[i].scoreLine)));
        rows[i].name = crt::Cp936ToUtf8(TrimTrailingSpace(UpToNul(table.entries[i].nameLine)));
    }
    return true;
}

int ResetScoreFiles() {
    int written = 0;
    const std::string text = ClearedTableText();
    for (int d = 1; d <= 4; ++d)
        if (crt::ReplaceTextFile(ScoreFileName(d), text)) ++written;
    return written;
}

}  // namespace scores
