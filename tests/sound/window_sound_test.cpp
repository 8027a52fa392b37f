// The settings file and the music as a player meets them: the real program run by its scripted
// driver, in a data folder with a mavek.cfg of the test's choosing.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/mm/media_formats.h"
#include "tests/sound/rand_reference.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

using soundtest::RandSequence;

std::string MidiLine(int number) {
    return "{\"event\": \"midi\", \"file\": \"midi\\\\" + std::to_string(number) + ".mid\"}";
}
const std::string kStopLine = "{\"event\": \"midi_stop\"}";

class Program : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::path(::testing::TempDir()) / ("sound_drive_" + std::to_string(getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        for (const auto& entry : fs::directory_iterator(KIVRA_DATA_DIR))
            fs::create_symlink(entry.path(), m_dir / entry.path().filename());
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void WriteSettings(const Bytes& bytes) {
        std::ofstream(m_dir / "mavek.cfg", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    Bytes Settings() const {
        std::ifstream in(m_dir / "mavek.cfg", std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    bool HasSettings() const { return fs::exists(m_dir / "mavek.cfg"); }

    // Runs the script; the output lines that concern sound: trace events and, for each
    // "state", a line "state sound=S music=M theme=T".
    std::vector<std::string> Run(const std::string& script) {
        std::ofstream(m_dir / "script.txt") << script;
        std::string cmd = "cd '" + m_dir.string() +
                          "' && SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=offscreen '" + KIVRA_DRIVE +
                          "' script.txt >out.txt 2>err.txt";
        int raw = std::system(cmd.c_str());
        std::stringstream errors;
        errors << std::ifstream(m_dir / "err.txt").rdbuf();
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << errors.str();
        std::vector<std::string> lines;
        std::ifstream out(m_dir / "out.txt");
        for (std::string line; std::getline(out, line);) {
            if (line.find("{\"event\": \"midi") == 0 || line.find("{\"event\": \"sound\"") == 0) {
                lines.push_back(line);
            } else if (line.find("\"board\"") != std::string::npos) {
                lines.push_back("state sound=" + Field(line, "sound") + " music=" +
                                Field(line, "music") + " theme=" + Field(line, "theme"));
            }
        }
        return lines;
    }
    static std::string Field(const std::string& json, const std::string& name) {
        std::size_t at = json.find("\"" + name + "\": ");
        if (at == std::string::npos) return "?";
        at += name.size() + 4;
        return json.substr(at, json.find_first_of(",}", at) - at);
    }
    long long TuneLengthMs(int number) const {
        std::ifstream in(m_dir / "midi" / (std::to_string(number) + ".mid"), std::ios::binary);
        Bytes bytes((std::istreambuf_iterator<char>(in)), {});
        return mm::MidiLengthMs(bytes.data(), bytes.size());
    }

  private:
    fs::path m_dir;
};

using Lines = std::vector<std::string>;

TEST_F(Program, NoSettingsFileMeansDefaultsAndTogglesWriteNothing) {
    auto lines = Run("time 1000\nstart\nstate\nmenu 32782\nmenu 32781\nmenu 32787\nstate\nquit\n");
    int tune = RandSequence(1000, 1)[0] % 17 + 101;
    // The music switched on plays until the program ends.
    EXPECT_EQ(lines, (Lines{"state sound=1 music=0 theme=0", MidiLine(tune),
                            "state sound=0 music=1 theme=2", kStopLine}));
    EXPECT_FALSE(HasSettings());
}

TEST_F(Program, StoredOneOneTwoStartsMusicWithTheThirdTheme) {
    WriteSettings({1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0});
    auto lines = Run("time 4321\nstart\nstate\nquit\n");
    int tune = RandSequence(4321, 1)[0] % 17 + 101;  // the first draw after seeding
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], MidiLine(tune));
    EXPECT_EQ(lines[1], "state sound=1 music=1 theme=2");
    EXPECT_EQ(Settings(), (Bytes{1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0}));
}

TEST_F(Program, MusicStoredAsSevenIsOnAndTheToggleStoresZero) {
    WriteSettings({1, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0});
    auto lines = Run("time 50\nstart\nmenu 32781\nstate\nquit\n");
    int tune = RandSequence(50, 1)[0] % 17 + 101;
    EXPECT_EQ(lines, (Lines{MidiLine(tune), kStopLine, "state sound=1 music=0 theme=0"}));
    EXPECT_EQ(Settings(), (Bytes{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(Program, SoundTwiceLeavesTheFileAndThemeRewritesOnlyItsBytes) {
    const Bytes original = {1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0x5A};
    WriteSettings(original);
    Run("time 1\nstart\nmenu 32782\nmenu 32782\nquit\n");
    EXPECT_EQ(Settings(), original);
    Run("time 1\nstart\nmenu 32787\nquit\n");
    EXPECT_EQ(Settings(), (Bytes{1, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0x5A}));
    auto lines = Run("time 1\nstart\nmenu 32785\nstate\nquit\n");
    EXPECT_EQ(lines, Lines{"state sound=1 music=0 theme=0"});
    EXPECT_EQ(Settings(), (Bytes{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x5A}));
}

TEST_F(Program, EndedTuneIsFollowedByTheNextWithinASecond) {
    WriteSettings({1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0});
    auto r = RandSequence(777, 2);
    int first = r[0] % 17 + 101, second = r[1] % 17 + 101;
    long long length = TuneLengthMs(first);
    ASSERT_GT(length, 2000);
    // Just before the end nothing has changed; a second after it the next tune plays.
    auto lines = Run("time 777\nstart\nwait " + std::to_string(length - 1) +
                     "\nstate\nwait 1001\nstate\nquit\n");
    // The music plays on until the program ends.
    EXPECT_EQ(lines, (Lines{MidiLine(first), "state sound=1 music=1 theme=0", kStopLine,
                            MidiLine(second), "state sound=1 music=1 theme=0", kStopLine}));
}

TEST_F(Program, MusicOffStopsOnStartsANewRandomTune) {
    auto r = RandSequence(99, 2);
    auto lines =
        Run("time 99\nstart\nmenu 32781\nwait 3000\nmenu 32781\nwait 3000\nmenu 32781\nstate\n"
            "menu 32781\nstate\nquit\n");
    EXPECT_EQ(lines,
              (Lines{MidiLine(r[0] % 17 + 101), kStopLine, MidiLine(r[1] % 17 + 101),
                     "state sound=1 music=1 theme=0", kStopLine, "state sound=1 music=0 theme=0"}));
    EXPECT_FALSE(HasSettings());
}

}  // namespace
