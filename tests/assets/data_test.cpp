// The game data folder: pictures decoded with libjpeg, tunes parsed as Standard MIDI Files,
// the advert list, and the help file opened with chmlib.
#include <chm_lib.h>
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "asset_files.h"
#include "game/board/board.h"
#include "game/board/shift.h"

namespace {

using namespace assets_test;

// ---------------------------------------------------------------------------------------
// Pictures

struct Jpeg {
    bool ok = false;
    int width = 0, height = 0, components = 0;
    bool progressive = false;
    std::vector<uint8_t> rgb;
};

struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

void OnError(j_common_ptr cinfo) { longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1); }

Jpeg Decode(const std::string& path) {
    Jpeg out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::fclose(f);
        out.ok = false;
        return out;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    out.progressive = jpeg_has_multiple_scans(&cinfo);
    jpeg_start_decompress(&cinfo);
    out.width = int(cinfo.output_width);
    out.height = int(cinfo.output_height);
    out.components = cinfo.output_components;
    out.rgb.resize(size_t(out.width) * out.height * out.components);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.rgb.data() + size_t(cinfo.output_scanline) * out.width * out.components;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    out.ok = true;
    return out;
}

double MeanLuma(const Jpeg& j, int x0, int y0, int x1, int y1) {
    double sum = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = &j.rgb[(size_t(y) * j.width + x) * 3];
            sum += 0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2];
        }
    return sum / (double(x1 - x0) * (y1 - y0));
}

// Each background covers the board area exactly as the game draws it: the board's own columns
// and rows on the cell pitch.
TEST(Pictures, LevelBackgroundsHaveTheBoardAreaSizes) {
    for (int d = Easy; d <= Super; ++d)
        for (int l = 1; l <= kLevelCount; ++l) {
            char name[32];
            std::snprintf(name, sizeof name, "/img/%d%02d.jpg", d, l);
            Jpeg j = Decode(DataDir() + name);
            ASSERT_TRUE(j.ok) << name;
            EXPECT_EQ(j.width, GetDifficultyInfo(d).width * kCellWidth) << name;
            EXPECT_EQ(j.height, GetDifficultyInfo(d).height * kCellHeight) << name;
            EXPECT_EQ(j.components, 3) << name;
            EXPECT_FALSE(j.progressive) << name;
            // Calm enough for the tiles to stand in front: neither glaring nor black.
            double mean = MeanLuma(j, 0, 0, j.width, j.height);
            EXPECT_GT(mean, 25) << name;
            EXPECT_LT(mean, 190) << name;
        }
}

TEST(Pictures, BackgroundsOfOneDifficultyDiffer) {
    for (int d = 1; d <= 4; ++d) {
        std::set<Bytes> seen;
        for (int l = 1; l <= 11; ++l) {
            char name[32];
            std::snprintf(name, sizeof name, "/img/%d%02d.jpg", d, l);
            Jpeg j = Decode(DataDir() + name);
            EXPECT_TRUE(seen.insert(j.rgb).second) << name;
        }
    }
}

// Text is what makes the idle picture useful: rows with many sharp light/dark edges inside
// the visible 794 x 530.
int EdgeCount(const Jpeg& j, int y0, int y1) {
    int edges = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = 1; x < std::min(j.width, 794); ++x) {
            const uint8_t* p = &j.rgb[(size_t(y) * j.width + x) * 3];
            const uint8_t* q = p - 3;
            if (std::abs(int(p[0] + p[1] + p[2]) - int(q[0] + q[1] + q[2])) > 240) ++edges;
        }
    return edges;
}

TEST(Pictures, IdleAndAllClearedPicturesFillTheWindowAndCarryText) {
    for (int z = 0; z <= 4; ++z) {
        std::string name = "/img/z" + std::to_string(z) + ".jpg";
        Jpeg j = Decode(DataDir() + name);
        ASSERT_TRUE(j.ok) << name;
        EXPECT_EQ(j.width, 800) << name;
        EXPECT_EQ(j.height, 575) << name;
        EXPECT_GT(EdgeCount(j, 130, 470), 400) << name << ": no text in the visible part";
    }
}

// ---------------------------------------------------------------------------------------
// Tunes

struct Midi {
    std::string error;
    int format = -1, tracks = 0, division = 0;
    double seconds = 0;
    std::set<int> channels_with_notes, programs;
    int notes = 0, unmatched = 0;
    std::string title;
    struct Note {
        long tick;
        int channel, key;
    };
    std::vector<Note> onsets;
    struct Edge {
        long tick;
        bool on;
        int channel, key;
    };
    std::vector<Edge> edges;  // note starts and ends, in file order per track
};

uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

Midi ParseMidi(const Bytes& b) {
    Midi m;
    if (b.size() < 14 || std::string(b.begin(), b.begin() + 4) != "MThd" || Be32(&b[4]) != 6) {
        m.error = "no MThd header";
        return m;
    }
    m.format = b[8] << 8 | b[9];
    m.tracks = b[10] << 8 | b[11];
    m.division = b[12] << 8 | b[13];
    // Tempo map (tick -> microseconds per quarter) and the end of the last track.
    std::map<long, uint32_t> tempo = {{0, 500000}};
    long last_tick = 0;
    size_t pos = 14;
    for (int t = 0; t < m.tracks; ++t) {
        if (pos + 8 > b.size() ||
            std::string(b.begin() + long(pos), b.begin() + long(pos) + 4) != "MTrk") {
            m.error = "track " + std::to_string(t) + " missing";
            return m;
        }
        size_t end = pos + 8 + Be32(&b[pos + 4]);
        if (end > b.size()) {
            m.error = "track runs past the file";
            return m;
        }
        pos += 8;
        long tick = 0;
        uint8_t status = 0;
        std::map<int, int> open;  // channel * 128 + key -> count
        bool ended = false;
        auto varlen = [&](uint32_t& v) {
            v = 0;
            for (int i = 0; i < 4 && pos < end; ++i) {
                uint8_t c = b[pos++];
                v = v << 7 | (c & 0x7F);
                if (!(c & 0x80)) return true;
            }
            return false;
        };
        while (pos < end && !ended) {
            uint32_t delta;
            if (!varlen(delta)) {
                m.error = "bad delta";
                return m;
            }
            tick += delta;
            uint8_t c = b[pos];
            if (c & 0x80) status = c, ++pos;
            if (status == 0xFF) {
                uint8_t type = b[pos++];
                uint32_t len;
                varlen(len);
                if (type == 0x51 && len == 3)
                    tempo[tick] = uint32_t(b[pos]) << 16 | b[pos + 1] << 8 | b[pos + 2];
                if (type == 0x03 && t == 0)
                    m.title.assign(b.begin() + long(pos), b.begin() + long(pos + len));
                if (type == 0x2F) ended = true;
                pos += len;
                status = 0;
            } else if (status == 0xF0 || status == 0xF7) {
                uint32_t len;
                varlen(len);
                pos += len;
            } else {
                int kind = status >> 4, ch = status & 15;
                int d1 = b[pos++], d2 = (kind == 0xC || kind == 0xD) ? 0 : b[pos++];
                if (kind == 0x9 && d2 > 0) {
                    ++open[ch * 128 + d1];
                    ++m.notes;
                    m.channels_with_notes.insert(ch);
                    m.onsets.push_back({tick, ch, d1});
                    m.edges.push_back({tick, true, ch, d1});
                } else if (kind == 0x8 || (kind == 0x9 && d2 == 0)) {
                    m.edges.push_back({tick, false, ch, d1});
                    if (open[ch * 128 + d1] > 0)
                        --open[ch * 128 + d1];
                    else
                        ++m.unmatched;
                } else if (kind == 0xC) {
                    m.programs.insert(d1);
                }
            }
        }
        if (!ended) m.error = "track " + std::to_string(t) + " has no end-of-track event";
        for (auto& [k, n] : open) m.unmatched += n;
        last_tick = std::max(last_tick, tick);
        pos = end;
    }
    // Duration through the tempo map.
    double us = 0;
    long prev_tick = 0;
    uint32_t prev_tempo = 500000;
    for (auto [t, tp] : tempo) {
        if (t > last_tick) break;
        us += double(t - prev_tick) * prev_tempo / m.division;
        prev_tick = t, prev_tempo = tp;
    }
    us += double(last_tick - prev_tick) * prev_tempo / m.division;
    m.seconds = us / 1e6;
    return m;
}

TEST(Tunes, SeventeenGeneralMidiFilesOfOneToThreeMinutes) {
    std::set<std::string> titles;
    std::set<Bytes> contents;
    for (int n = 101; n <= 117; ++n) {
        std::string name = "/midi/" + std::to_string(n) + ".mid";
        Bytes b = ReadAll(DataDir() + name);
        Midi m = ParseMidi(b);
        ASSERT_EQ(m.error, "") << name;
        EXPECT_EQ(m.format, 1) << name;
        EXPECT_GT(m.division, 0) << name;
        EXPECT_GE(m.seconds, 60) << name;
        EXPECT_LE(m.seconds, 180) << name;
        EXPECT_EQ(m.unmatched, 0) << name << ": notes without their end";
        EXPECT_GE(m.channels_with_notes.size(), 3u) << name << ": melody, chords and bass";
        EXPECT_GE(m.programs.size(), 3u) << name;
        EXPECT_GT(m.notes, 300) << name;
        EXPECT_TRUE(titles.insert(m.title).second) << name << " repeats the title " << m.title;
        EXPECT_TRUE(contents.insert(b).second) << name;
    }
}

TEST(Tunes, SomeTunesHaveDrumsAndSomeDoNot) {
    int with = 0;
    for (int n = 101; n <= 117; ++n) {
        Midi m = ParseMidi(ReadAll(DataDir() + "/midi/" + std::to_string(n) + ".mid"));
        if (m.channels_with_notes.count(9)) ++with;
    }
    EXPECT_GE(with, 8);
    EXPECT_LT(with, 17);
}

// Everything but the drums keeps to one major key (with the raised seventh of its relative
// minor allowed): no stray notes.
TEST(Tunes, PitchedNotesStayInOneKey) {
    for (int n = 101; n <= 117; ++n) {
        Midi m = ParseMidi(ReadAll(DataDir() + "/midi/" + std::to_string(n) + ".mid"));
        int count[12] = {}, total = 0;
        for (const auto& o : m.onsets)
            if (o.channel != 9) ++count[o.key % 12], ++total;
        ASSERT_GT(total, 0);
        double best = 0;
        for (int root = 0; root < 12; ++root) {
            int in = 0;
            for (int step : {0, 2, 4, 5, 7, 9, 11, 8}) in += count[(root + step) % 12];
            best = std::max(best, double(in) / total);
        }
        EXPECT_GE(best, 0.98) << n;
    }
}

// A melody with structure comes back to its phrases: many of its rhythm figures recur.
TEST(Tunes, MelodyRepeatsItsPhrases) {
    for (int n = 101; n <= 117; ++n) {
        Midi m = ParseMidi(ReadAll(DataDir() + "/midi/" + std::to_string(n) + ".mid"));
        std::vector<long> gaps;
        long prev = -1;
        for (const auto& o : m.onsets) {
            if (o.channel != 0) continue;
            if (prev >= 0) gaps.push_back(o.tick - prev);
            prev = o.tick;
        }
        ASSERT_GT(gaps.size(), 40u) << n;
        std::map<std::vector<long>, int> figures;
        for (size_t i = 0; i + 6 <= gaps.size(); ++i)
            ++figures[std::vector<long>(gaps.begin() + long(i), gaps.begin() + long(i) + 6)];
        int repeated = 0;
        for (auto& [f, k] : figures)
            if (k >= 3) repeated += k;
        EXPECT_GT(double(repeated) / double(gaps.size() - 5), 0.5) << n;
    }
}

// Melody (channel 0) against what the chords (2) and the bass (3) hold at that moment: a
// semitone apart is a rub the ear hears as a wrong note, so it must stay rare.
TEST(Tunes, MelodyRarelyRubsAgainstTheHarmony) {
    for (int n = 101; n <= 117; ++n) {
        Midi m = ParseMidi(ReadAll(DataDir() + "/midi/" + std::to_string(n) + ".mid"));
        auto edges = m.edges;
        std::stable_sort(edges.begin(), edges.end(), [](const Midi::Edge& a, const Midi::Edge& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.on < b.on;  // ends before starts
        });
        std::multiset<int> held;
        int melody = 0, rubs = 0;
        for (const auto& e : edges) {
            if (e.channel == 2 || e.channel == 3) {
                if (e.on)
                    held.insert(e.key);
                else if (held.count(e.key))
                    held.erase(held.find(e.key));
                continue;
            }
            if (e.channel != 0 || !e.on) continue;
            ++melody;
            for (int k : held)
                if ((e.key - k + 120) % 12 == 1 || (e.key - k + 120) % 12 == 11) {
                    ++rubs;
                    break;
                }
        }
        ASSERT_GT(melody, 0);
        EXPECT_LT(double(rubs) / melody, 0.05) << n << ": " << rubs << " of " << melody;
    }
}

TEST(Tunes, ParserRejectsATruncatedFile) {
    Bytes b = ReadAll(DataDir() + "/midi/101.mid");
    ASSERT_GT(b.size(), 100u);
    b.resize(b.size() / 2);
    EXPECT_NE(ParseMidi(b).error, "");
}

// ---------------------------------------------------------------------------------------
// Advert list

std::vector<std::string> Lines(const Bytes& b, bool& crlf_everywhere) {
    std::vector<std::string> lines;
    crlf_everywhere = true;
    std::string cur;
    for (size_t i = 0; i < b.size(); ++i) {
        if (b[i] == '\n') {
            if (cur.empty() || cur.back() != '\r')
                crlf_everywhere = false;
            else
                cur.pop_back();
            lines.push_back(cur);
            cur.clear();
        } else {
            cur += char(b[i]);
        }
    }
    if (!cur.empty()) {
        crlf_everywhere = false;
        lines.push_back(cur);
    }
    return lines;
}

TEST(AdvertList, FortyFourLinesWithAdvertsOnEveryLastLevel) {
    Bytes b = ReadAll(DataDir() + "/ads/url.txt");
    bool crlf = false;
    auto lines = Lines(b, crlf);
    ASSERT_EQ(lines.size(), 44u);
    EXPECT_TRUE(crlf);
    int adverts = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        ASSERT_FALSE(l.empty()) << "line " << i;
        EXPECT_LT(l.size() + 2, 79u) << "line " << i << " is longer than the reader takes";
        for (char c : l) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "line " << i;
        if (l[0] == '0') {
            EXPECT_EQ(l, "0") << "line " << i;
            continue;
        }
        ++adverts;
        int d = int(i) / 11 + 1, level = int(i) % 11 + 1;
        std::string address = l.substr(4);
        EXPECT_EQ(address.rfind("https://kivra.example.org/", 0), 0u) << "line " << i;
        EXPECT_EQ(address.find_first_of(" \t"), std::string::npos) << "line " << i;
        // The advert picture of that level exists.
        char gif[32];
        std::snprintf(gif, sizeof gif, "/ads/%d%02d.gif", d, level);
        EXPECT_FALSE(ReadAll(DataDir() + gif).empty()) << gif;
    }
    for (int d = 0; d < 4; ++d)
        EXPECT_NE(lines[size_t(d * 11 + 10)], "0") << "difficulty " << d + 1;
    EXPECT_GE(adverts, 8);
    EXPECT_LE(adverts, 30);
}

// ---------------------------------------------------------------------------------------
// Help file

std::string Retrieve(chmFile* h, const std::string& path, bool& found) {
    chmUnitInfo ui;
    found = chm_resolve_object(h, path.c_str(), &ui) == CHM_RESOLVE_SUCCESS;
    if (!found) return {};
    std::string s(size_t(ui.length), '\0');
    LONGINT64 got = chm_retrieve_object(h, &ui, reinterpret_cast<unsigned char*>(&s[0]), 0,
                                        LONGINT64(ui.length));
    s.resize(size_t(std::max<LONGINT64>(0, got)));
    return s;
}

TEST(HelpFile, OpensWithItsDefaultTopicAndChinesePages) {
    const std::string path = DataDir() + "/mavek.chm";
    chmFile* h = chm_open(path.c_str());
    ASSERT_NE(h, nullptr) << path;
    bool found = false;
    std::string system = Retrieve(h, "/#SYSTEM", found);
    ASSERT_TRUE(found);
    // #SYSTEM: a version word, then records of code, length and data; code 2 is the default topic.
    std::string topic;
    for (size_t pos = 4; pos + 4 <= system.size();) {
        unsigned code = Le16(reinterpret_cast<const uint8_t*>(&system[pos]));
        unsigned len = Le16(reinterpret_cast<const uint8_t*>(&system[pos + 2]));
        if (pos + 4 + len > system.size()) break;
        if (code == 2) topic = std::string(system.c_str() + pos + 4);
        pos += 4 + len;
    }
    if (!topic.empty() && topic[0] == '/') topic.erase(0, 1);
    EXPECT_EQ(topic, "index.htm");

    std::string index = Retrieve(h, "/" + topic, found);
    ASSERT_TRUE(found) << "the default topic is not in the file";
    EXPECT_NE(index.find("游戏说明"), std::string::npos);
    const std::map<std::string, std::string> pages = {
        {"rules.htm", "两个弯"},      {"keys.htm", "F5"},
        {"levels.htm", "向内集中"},   {"scoring.htm", "过关奖励"},
        {"prizes.htm", "幸运奖"},     {"scores.htm", "从“选项”菜单选择“排行榜”"},
        {"settings.htm", "飞禽走兽"}, {"keyboard.htm", "退格键"}};
    for (auto& [page, words] : pages) {
        std::string body = Retrieve(h, "/" + page, found);
        EXPECT_TRUE(found) << page;
        EXPECT_NE(body.find(words), std::string::npos) << page;
        EXPECT_NE(index.find(page), std::string::npos) << "index does not link " << page;
    }
    // The levels page tells what the game shows: each difficulty's board, and each level by the
    // number on the status panel with the name of its shift mode.
    const std::string levels = Retrieve(h, "/levels.htm", found);
    for (int d = Easy; d <= Super; ++d) {
        const DifficultyInfo& info = GetDifficultyInfo(d);
        const std::string board = std::to_string(info.width) + " × " + std::to_string(info.height);
        EXPECT_NE(levels.find("<td>" + board + "</td>"), std::string::npos) << board;
    }
    for (int level = 1; level <= kLevelCount; ++level) {
        const std::string row = "<tr><td>" + std::to_string(ShownLevelNumber(level)) + "</td><td>" +
                                ShiftModeName(level) + "</td>";
        EXPECT_NE(levels.find(row), std::string::npos) << row;
    }
    chm_close(h);
}

}  // namespace
