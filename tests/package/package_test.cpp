// The release as a distribution takes it: the native source package holds the tracked files
// and unpacks, lintian finds no error and no warning in the source and binary packages, the
// licence is MIT in the source, the copyright files and the AppStream metadata, and the
// autopkgtest's commands pass against the unpacked packages.
// The Debian package as a player's system meets it: its file list, its dependencies, Debian's
// own checks (desktop-file-validate, appstreamcli, lintian), and the installed launcher started
// from the unpacked package on a private X desktop: the first start makes the player's folder
// with default settings and cleared tables and shows the start picture; a later start keeps a
// changed settings file and score table; the game data is linked, never copied, and a folder
// made by an older version (with copied data) is turned into links.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/x_session.h"

namespace fs = std::filesystem;
using testsupport::Command;
using testsupport::WaitUntil;
using testsupport::XSession;
using testsupport::XWindow;

namespace {

constexpr const char* kMainTitle = "Qarven Vorn 4.0版";
const char* const kDataItems[] = {"img", "midi", "ads", "mavek.chm"};

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs a command to its end; its exit status, and what it printed (both streams).
int RunTool(const std::vector<std::string>& argv, std::string* output = nullptr,
            const std::vector<std::string>& env = {}) {
    const fs::path out = fs::temp_directory_path() / ("kivra-pkg-out-" + std::to_string(getpid()));
    FILE* f = std::fopen(out.c_str(), "w");
    Command c;
    c.argv = argv;
    c.env = env;
    c.stdoutFd = fileno(f);
    c.stderrFd = fileno(f);
    const pid_t pid = testsupport::Spawn(c);
    std::fclose(f);
    const int status = testsupport::WaitExit(pid, 240000);
    if (output) *output = ReadFile(out);
    fs::remove(out);
    return status;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream s(text);
    for (std::string line; std::getline(s, line);) lines.push_back(line);
    return lines;
}

// The lines lintian printed as errors or warnings ("E: ...", "W: ...").
std::vector<std::string> LintianComplaints(const std::string& output) {
    std::vector<std::string> complaints;
    for (const std::string& line : Lines(output))
        if (line.rfind("E: ", 0) == 0 || line.rfind("W: ", 0) == 0) complaints.push_back(line);
    return complaints;
}

// The Debian version the packages are made at: debian/changelog's newest entry.
std::string DebianVersion() {
    std::string out;
    RunTool({"dpkg-parsechangelog", "-l", KIVRA_SOURCE_DIR "/debian/changelog", "-SVersion"}, &out);
    out.erase(out.find_last_not_of('\n') + 1);
    return out;
}

// The MIT licence's permission text, as LICENSE gives it (from "Permission" to the end).
std::string PermissionText() {
    const std::string licence = ReadFile(fs::path(KIVRA_SOURCE_DIR) / "LICENSE");
    const size_t start = licence.find("Permission is hereby granted");
    return start == std::string::npos ? std::string() : licence.substr(start);
}

// The text of the stand-alone "License: MIT" paragraph of a machine-readable copyright file,
// turned back into plain lines (the leading space taken off, "." lines made empty).
std::string MitParagraph(const std::string& copyright) {
    std::string text;
    bool inside = false;
    for (const std::string& line : Lines(copyright)) {
        // A "License: MIT" line with no text after it names the licence of a Files paragraph.
        if (inside && (line.empty() || line[0] != ' ')) {
            if (!text.empty()) break;
            inside = false;
        }
        if (inside) text += (line == " ." ? std::string() : line.substr(1)) + "\n";
        if (line == "License: MIT") inside = true;
    }
    return text;
}

// The packages made by the package command, unpacked once into one root for every test.
class PackageTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        for (const auto& e : fs::directory_iterator(KIVRA_PACKAGE_DIR)) {
            const std::string name = e.path().filename().string();
            if (e.path().extension() != ".deb") continue;
            if (name.rfind("kivra_", 0) == 0) deb_ = e.path();
            if (name.rfind("vantor_", 0) == 0) pluginDeb_ = e.path();
        }
        root_ = fs::temp_directory_path() / ("kivra-pkg-root-" + std::to_string(getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        for (const fs::path& deb : {deb_, pluginDeb_})
            if (!deb.empty()) RunTool({"dpkg-deb", "-x", deb.string(), root_.string()});
    }
    static void TearDownTestSuite() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    void SetUp() override {
        ASSERT_FALSE(deb_.empty()) << "no kivra_*.deb in " KIVRA_PACKAGE_DIR;
        ASSERT_FALSE(pluginDeb_.empty()) << "no vantor_*.deb in " KIVRA_PACKAGE_DIR;
    }

    static fs::path Usr(const std::string& relative) { return root_ / "usr" / relative; }
    static std::string Field(const fs::path& deb, const char* name) {
        std::string out;
        RunTool({"dpkg-deb", "-f", deb.string(), name}, &out);
        out.erase(out.find_last_not_of('\n') + 1);
        return out;
    }
    // The files of one package, as paths under the root ("./usr/...").
    static std::vector<std::string> Contents(const fs::path& deb) {
        std::string out;
        RunTool({"dpkg-deb", "-c", deb.string()}, &out);
        std::vector<std::string> files;
        for (const std::string& line : Lines(out))
            files.push_back(line.substr(line.rfind(' ') + 1));
        return files;
    }

    static fs::path deb_, pluginDeb_, root_;
};
fs::path PackageTest::deb_, PackageTest::pluginDeb_, PackageTest::root_;

TEST_F(PackageTest, NamesVersionsAndFileLists) {
    const std::string arch = Field(deb_, "Architecture");
    // The native package's version is the project's, without a Debian revision.
    const std::string version = DebianVersion();
    EXPECT_EQ(version, KIVRA_VERSION);
    EXPECT_EQ(deb_.filename().string(), "kivra_" + version + "_" + arch + ".deb");
    EXPECT_EQ(pluginDeb_.filename().string(), "vantor_" + version + "_" + arch + ".deb");
    EXPECT_EQ(Field(deb_, "Version"), version);
    EXPECT_EQ(Field(pluginDeb_, "Version"), version);
    EXPECT_EQ(Field(deb_, "Section"), "games");
    EXPECT_EQ(Field(pluginDeb_, "Section"), "graphics");

    const std::vector<std::string> files = {
        "games/kivra",
        "libexec/kivra/kivra",
        "bin/image-plugin-host",
        "share/games/kivra/img/z0.jpg",
        "share/games/kivra/midi",
        "share/games/kivra/ads/url.txt",
        "share/games/kivra/mavek.chm",
        "share/applications/org.example.kivra.desktop",
        "share/metainfo/org.example.kivra.metainfo.xml",
        "share/man/man6/kivra.6.gz",
        "share/man/man1/image-plugin-host.1.gz",
        "share/doc/kivra/copyright",
        "share/doc/kivra/changelog.gz",
        "share/doc/kivra/NOTICE",
        "share/doc/kivra/NEWS.md.gz",
        "share/doc/vantor/copyright",
        "share/doc/vantor/changelog.gz",
        "share/doc/vantor/NEWS.md.gz",
    };
    for (const std::string& f : files) EXPECT_TRUE(fs::exists(Usr(f))) << f;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const std::string icon = "share/icons/hicolor/" + std::to_string(size) + "x" +
                                 std::to_string(size) + "/apps/kivra.png";
        EXPECT_TRUE(fs::exists(Usr(icon))) << icon;
    }
    // The plug-in and its host are vantor's alone: an image program needs none of the game.
    for (const std::string& f : Contents(deb_)) {
        EXPECT_EQ(f.find("vantor"), std::string::npos) << f;
        EXPECT_EQ(f.find("image-plugin-host"), std::string::npos) << f;
    }
    for (const std::string& f : Contents(pluginDeb_))
        EXPECT_EQ(f.find("kivra"), std::string::npos) << f;
    // The plug-in once, readable and not executable.
    std::vector<fs::path> plugins;
    for (const auto& e : fs::recursive_directory_iterator(root_))
        if (e.path().filename() == "vantor.so") plugins.push_back(e.path());
    ASSERT_EQ(plugins.size(), 1u);
    EXPECT_EQ(plugins[0].parent_path().filename(), "vantor");
    EXPECT_EQ(fs::status(plugins[0]).permissions() & fs::perms::owner_exec, fs::perms::none);
    EXPECT_NE(fs::status(Usr("games/kivra")).permissions() & fs::perms::owner_exec,
              fs::perms::none);
}

TEST_F(PackageTest, DependsOnTheLinkedLibrariesAndTheDataTheGameOpens) {
    const std::string depends = Field(deb_, "Depends");
    for (const char* p : {"libqt6widgets6", "libsdl2-mixer", "libfreetype6", "libjpeg62-turbo",
                          "libchm1", "fonts-unifont", "fonts-arphic-uming", "timgm6mb-soundfont"})
        EXPECT_NE(depends.find(p), std::string::npos) << p << " missing from: " << depends;
    // The plug-in stands on the C and C++ runtimes only.
    const std::string pluginDepends = Field(pluginDeb_, "Depends");
    EXPECT_NE(pluginDepends.find("libc6"), std::string::npos) << pluginDepends;
    for (const char* p : {"libqt6", "libsdl2", "fonts-", "kivra"})
        EXPECT_EQ(pluginDepends.find(p), std::string::npos) << p << " in: " << pluginDepends;
}

TEST_F(PackageTest, DesktopEntryAndMetainfoPassTheirValidators) {
    std::string out;
    EXPECT_EQ(
        RunTool({"desktop-file-validate", Usr("share/applications/org.example.kivra.desktop")},
                &out),
        0)
        << out;
    EXPECT_EQ(out, "");
    EXPECT_EQ(RunTool({"appstreamcli", "validate", "--no-net", "--pedantic",
                       Usr("share/metainfo/org.example.kivra.metainfo.xml")},
                      &out),
              0)
        << out;
    // The desktop entry starts the installed launcher.
    const std::string entry = ReadFile(Usr("share/applications/org.example.kivra.desktop"));
    EXPECT_NE(entry.find("\nExec=/usr/games/kivra\n"), std::string::npos) << entry;
}

TEST_F(PackageTest, LintianFindsNoErrorAndNoWarningInTheSourceAndBinaries) {
    const fs::path changes =
        fs::path(KIVRA_PACKAGE_DIR) /
        ("kivra_" + DebianVersion() + "_" + Field(deb_, "Architecture") + ".changes");
    ASSERT_TRUE(fs::exists(changes)) << changes;
    std::string out;
    RunTool({"lintian", "--tag-display-limit", "0", "--info", "--show-overrides", changes.string()},
            &out);
    EXPECT_TRUE(LintianComplaints(out).empty()) << out;
    // The source's one override (the copyright file's patterns for generated files) shows it
    // was checked.
    EXPECT_NE(out.find("O: kivra source: superfluous-file-pattern"), std::string::npos)
        << "the source was not checked:\n"
        << out;
    // The information tags that remain are printed for the record.
    std::printf("lintian:\n%s", out.c_str());
}

TEST_F(PackageTest, TheLicenceIsMitWhereverItIsNamed) {
    const std::string permission = PermissionText();
    ASSERT_FALSE(permission.empty()) << "LICENSE holds no MIT permission text";
    EXPECT_EQ(ReadFile(fs::path(KIVRA_SOURCE_DIR) / "LICENSE")
                  .rfind("MIT License\n\nCopyright (c) 2026 the kivra and vantor authors\n\n", 0),
              0u);
    // Each package's copyright file gives the project's files the MIT licence, word for word.
    for (const char* package : {"kivra", "vantor"}) {
        const std::string copyright =
            ReadFile(Usr(std::string("share/doc/") + package + "/copyright"));
        EXPECT_NE(copyright.find("Files: *\nCopyright: 2026 the kivra and vantor authors\n"
                                 "License: MIT\n"),
                  std::string::npos)
            << package;
        EXPECT_EQ(copyright.find("proprietary"), std::string::npos) << package;
        EXPECT_EQ(MitParagraph(copyright), permission) << package;
        // The fonts whose glyphs and pictures the generated data contains, with their licences.
        for (const char* named : {"Noto Color Emoji", "License: OFL-1.1\n", "AR PL UMing",
                                  "License: Arphic-1999\n", "GNU Unifont", "GPL-2+"})
            EXPECT_NE(copyright.find(named), std::string::npos) << package << ": " << named;
    }
    const std::string metainfo = ReadFile(Usr("share/metainfo/org.example.kivra.metainfo.xml"));
    EXPECT_NE(metainfo.find("<project_license>MIT</project_license>"), std::string::npos);
}

// ---- the Debian source package and the autopkgtest

// The source package holds every tracked file, debian/ too, as the native format has it.
TEST_F(PackageTest, TheNativeSourcePackageHoldsTheTrackedFilesAndUnpacks) {
    const std::string version = DebianVersion();
    const fs::path made(KIVRA_PACKAGE_DIR);
    const fs::path dsc = made / ("kivra_" + version + ".dsc");
    const fs::path tarball = made / ("kivra_" + version + ".tar.xz");
    ASSERT_TRUE(fs::exists(dsc)) << dsc;
    ASSERT_TRUE(fs::exists(tarball)) << tarball;
    EXPECT_EQ(ReadFile(dsc).rfind("Format: 3.0 (native)\n", 0), 0u);

    std::string listing;
    ASSERT_EQ(RunTool({"tar", "-tJf", tarball.string()}, &listing), 0) << listing;
    std::vector<std::string> inTarball;
    const std::string prefix = "kivra-" + version + "/";
    for (const std::string& line : Lines(listing)) {
        ASSERT_EQ(line.rfind(prefix, 0), 0u) << line << " is outside " << prefix;
        if (line.back() != '/') inTarball.push_back(line.substr(prefix.size()));
    }
    std::string tracked, deleted;
    RunTool({"git", "-C", KIVRA_SOURCE_DIR, "ls-files"}, &tracked);
    RunTool({"git", "-C", KIVRA_SOURCE_DIR, "ls-files", "--deleted"}, &deleted);
    const std::vector<std::string> gone = Lines(deleted);
    std::vector<std::string> expected;
    // dpkg-source leaves out git's own files (.gitignore) by default.
    for (const std::string& f : Lines(tracked))
        if (std::find(gone.begin(), gone.end(), f) == gone.end() && f != ".gitignore")
            expected.push_back(f);
    std::sort(inTarball.begin(), inTarball.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(inTarball, expected);

    // dpkg-source checks the size and checksums the .dsc gives for the tarball.
    const fs::path unpacked = root_.parent_path() / ("kivra-src-" + std::to_string(getpid()));
    fs::remove_all(unpacked);
    std::string out;
    EXPECT_EQ(RunTool({"dpkg-source", "-x", dsc.string(), unpacked.string()}, &out), 0) << out;
    EXPECT_EQ(ReadFile(unpacked / "debian/source/format"), "3.0 (native)\n");
    fs::remove_all(unpacked);
}

// Each test debian/tests/control names, run as autopkgtest would run it, against the packages
// unpacked here instead of installed.
TEST_F(PackageTest, TheAutopkgtestsPassAgainstTheUnpackedPackages) {
    const fs::path tests = fs::path(KIVRA_SOURCE_DIR) / "debian/tests";
    std::vector<std::string> names;
    for (const std::string& line : Lines(ReadFile(tests / "control")))
        if (line.rfind("Tests:", 0) == 0) {
            std::stringstream words(line.substr(6));
            for (std::string name; words >> name;) names.push_back(name);
        }
    ASSERT_EQ(names.size(), 2u) << "the game started offscreen and a picture decoded";
    for (const std::string& name : names) {
        const fs::path tmp =
            root_.parent_path() / ("kivra-autopkgtest-" + std::to_string(getpid()));
        fs::remove_all(tmp);
        fs::create_directories(tmp);
        std::string out;
        EXPECT_EQ(RunTool({(tests / name).string()}, &out,
                          {"KIVRA_TEST_ROOT=" + root_.string(), "AUTOPKGTEST_TMP=" + tmp.string()}),
                  0)
            << name << ":\n"
            << out;
        fs::remove_all(tmp);
    }
}

// ---- the installed launcher on a private X desktop

class LauncherTest : public PackageTest {
  protected:
    void SetUp() override {
        PackageTest::SetUp();
        home_ = fs::temp_directory_path() / ("kivra-pkg-home-" + std::to_string(getpid()));
        fs::remove_all(home_);
        fs::create_directories(home_);
        std::string error;
        ASSERT_TRUE(x_.StartServer("1024x768x24", &error)) << error;
        ASSERT_TRUE(x_.StartWindowManager(KIVRA_WM_CONFIG, {"HOME=" + home_.string()}, &error))
            << error;
    }
    void TearDown() override {
        testsupport::Stop(game_);
        x_.Stop();
        std::error_code ec;
        fs::remove_all(home_, ec);
    }

    fs::path GameDir() const { return home_ / ".local/share/kivra"; }

    // Starts the installed launcher and waits for the main window.
    XWindow Start() {
        fs::create_directories(home_ / "runtime");
        fs::permissions(home_ / "runtime", fs::perms::owner_all);
        Command c;
        c.argv = {Usr("games/kivra").string()};
        c.env = {"DISPLAY=" + x_.DisplayName(), "HOME=" + home_.string(),
                 "XDG_RUNTIME_DIR=" + (home_ / "runtime").string(), "QT_QPA_PLATFORM=xcb",
                 "SDL_AUDIODRIVER=dummy"};
        game_ = testsupport::Spawn(c);
        return x_.WaitForClient(kMainTitle, 20000);
    }
    // Ends the game as a player does, with Esc, and waits for it.
    void Quit(XWindow main) {
        x_.Key("Escape");
        EXPECT_EQ(testsupport::WaitExit(game_, 10000), 0) << "Esc ends the game";
        game_ = -1;
        (void)main;
    }

    // What the main window's client area shows (below the 20-pixel menu bar).
    testsupport::Image Client(XWindow main) const {
        const testsupport::Rect g = x_.Geometry(main);
        return x_.Shot(testsupport::Rect{g.x, g.y + 20, 794, 530});
    }

    fs::path home_;
    XSession x_;
    pid_t game_ = -1;
};

TEST_F(LauncherTest, FirstStartMakesThePlayersFolderAndShowsTheStartPicture) {
    const XWindow main = Start();
    ASSERT_NE(main, 0u) << "the installed game did not show its window";
    EXPECT_EQ(ReadFile(GameDir() / "mavek.cfg"), std::string("\x01\0\0\0\0\0\0\0\0\0\0\0", 12));
    std::string cleared;
    for (int i = 0; i < 10; ++i) cleared += "0\r\n\r\n";
    for (int d = 1; d <= 4; ++d)
        EXPECT_EQ(ReadFile(GameDir() / ("score." + std::to_string(d))), cleared) << d;
    for (const char* item : kDataItems) {
        EXPECT_TRUE(fs::is_symlink(GameDir() / item)) << item << " is copied, not linked";
        EXPECT_EQ(fs::read_symlink(GameDir() / item), Usr("share/games/kivra") / item);
    }

    // The start picture fills the client area: the same pixels the scripted driver draws
    // offscreen from the same data.
    const fs::path shot = home_ / "start.png";
    Command drive;
    drive.argv = {KIVRA_DRIVE_EXE, (home_ / "script.txt").string()};
    drive.cwd = GameDir().string();
    drive.env = {"SDL_AUDIODRIVER=dummy"};
    std::ofstream(home_ / "script.txt") << "time 1000\nstart\nshot " << shot.string() << "\nquit\n";
    ASSERT_EQ(testsupport::WaitExit(testsupport::Spawn(drive), 30000), 0);
    const QImage picture =
        QImage(QString::fromStdString(shot.string())).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.width(), 794);
    ASSERT_EQ(picture.height(), 530);
    std::vector<uint32_t> expected;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            expected.push_back(picture.pixel(x, y) & 0xFFFFFF);
    EXPECT_TRUE(WaitUntil(5000, [&] { return Client(main).px == expected; }))
        << "the window does not show the start picture";
    Quit(main);
}

TEST_F(LauncherTest, LaterStartsKeepSettingsAndScoresAndLinkTheDataOnce) {
    // A folder made by an older version: settings, a score table and a copy of the data.
    fs::create_directories(GameDir() / "img");
    std::ofstream(GameDir() / "img" / "101.jpg") << "an old copy";
    const std::string settings("\x00\0\0\0\x01\0\0\0\x02\0\0\0",
                               12);  // sound off, music on, theme 2
    std::ofstream(GameDir() / "mavek.cfg", std::ios::binary) << settings;
    std::string table = "2500\r\nAda\r\n";
    for (int i = 0; i < 9; ++i) table += "0\r\n\r\n";
    std::ofstream(GameDir() / "score.1", std::ios::binary) << table;

    XWindow main = Start();
    ASSERT_NE(main, 0u);
    EXPECT_TRUE(fs::is_symlink(GameDir() / "img")) << "the old copy is not replaced by a link";
    Quit(main);
    struct stat first {};
    ASSERT_EQ(lstat((GameDir() / "img").c_str(), &first), 0);

    main = Start();
    ASSERT_NE(main, 0u);
    Quit(main);
    EXPECT_EQ(ReadFile(GameDir() / "mavek.cfg"), settings);
    EXPECT_EQ(ReadFile(GameDir() / "score.1"), table);
    // The link was left as it was: nothing made again.
    struct stat second {};
    ASSERT_EQ(lstat((GameDir() / "img").c_str(), &second), 0);
    EXPECT_EQ(second.st_ino, first.st_ino);
    EXPECT_EQ(second.st_mtim.tv_nsec, first.st_mtim.tv_nsec);
}

}  // namespace
