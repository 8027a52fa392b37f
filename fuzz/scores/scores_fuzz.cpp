// Any bytes as a score file: the reader always yields ten entries of well-formed lines, the
// file read from disk in text mode matches the same bytes parsed in memory, and a table written
// back reads as itself.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/support/fuzz_folder.h"
#include "game/scores/score_file.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckTable(const scores::ScoreTable& t) {
    for (const scores::ScoreEntry& e : t.entries) {
        Check(!e.scoreLine.empty() && e.scoreLine.back() == '\n');
        Check(!e.nameLine.empty() && e.nameLine.back() == '\n');
        Check(e.scoreLine.size() <= scores::kLineLimit + 1u);
        Check(e.nameLine.size() <= scores::kLineLimit + 1u);
        Check(e.scoreLine.find('\n') == e.scoreLine.size() - 1);
        Check(e.nameLine.find('\n') == e.nameLine.size() - 1);
        Check(e.score == scores::ScoreValue(e.scoreLine));
    }
}

bool SameTable(const scores::ScoreTable& a, const scores::ScoreTable& b) {
    for (int i = 0; i < scores::kEntryCount; ++i) {
        if (a.entries[i].scoreLine != b.entries[i].scoreLine) return false;
        if (a.entries[i].nameLine != b.entries[i].nameLine) return false;
    }
    return true;
}

// Text mode: CR LF reads as "\n".
std::string TextMode(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        out += bytes[i];
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzzsupport::FuzzFolder folder("scores_fuzz");
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    const scores::ScoreTable parsed = scores::ParseScoreTable(TextMode(bytes));
    CheckTable(parsed);
    const scores::ScoreTable again = scores::ParseScoreTable(scores::FormatScoreTable(parsed));
    Check(SameTable(parsed, again));
    const int rank = scores::RankOf(parsed, 1000);
    Check(rank >= 0 && rank <= scores::kEntryCount);
    if (rank > 0) CheckTable(scores::InsertScore(parsed, rank, 1000, bytes.substr(0, 100)));

    if (folder.Enter()) {
        if (fuzzsupport::WriteInput("score.1", data, size)) {
            scores::ScoreTable fromFile;
            Check(scores::ReadScoreTable(1, fromFile));
            CheckTable(fromFile);
            Check(SameTable(fromFile, parsed));
        }
        Check(folder.Leave());
    }
    return 0;
}
