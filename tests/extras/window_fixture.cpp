#include "tests/extras/window_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace extrastest {
namespace {

void MakeDirs(const std::string& path) {
    std::string partial;
    std::stringstream in(path);
    std::string part;
    while (std::getline(in, part, '/')) {
        partial += part + "/";
        mkdir(partial.c_str(), 0755);
    }
}

}  // namespace

std::string TraceEvent::Str(const char* name) const {
    for (const auto& f : fields)
        if (f.name == name) return f.s;
    return "";
}

void WindowTest::SetUp() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    afx::InitPlatform();
    char buffer[4096];
    oldDir_ = getcwd(buffer, sizeof buffer) ? buffer : ".";
    char pattern[] = "/tmp/kivra-extras-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    MakeDirs(dir_ + "/bin");
    MakeDirs(dir_ + "/ads");
    MakeDirs(dir_ + "/config");
    MakeDirs(dir_ + "/data/applications");
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    const char* path = std::getenv("PATH");
    oldPath_ = path ? path : "/usr/bin:/bin";
    // The stand-ins come first; the system's programs stay reachable for the scripts.
    setenv("PATH", (dir_ + "/bin:" + oldPath_).c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir_ + "/config").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (dir_ + "/no-config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir_ + "/data").c_str(), 1);
    setenv("XDG_DATA_DIRS", (dir_ + "/no-data").c_str(), 1);

    afx::automation::UseVirtualClock(1700000000);
    seams::SetTraceSink([this](const std::string& event, const std::vector<seams::Field>& fields) {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back({event, fields});
    });
}

void WindowTest::TearDown() {
    afx::automation::SetIdleHook(nullptr);
    seams::SetTraceSink({});
    seams::EnableResponder(false);
    seams::ClearAnswers();
    seams::UseRealClock();
    setenv("PATH", oldPath_.c_str(), 1);
    if (chdir(oldDir_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << oldDir_;
    const std::string remove = "rm -rf '" + dir_ + "'";
    if (std::system(remove.c_str()) != 0) ADD_FAILURE() << "cannot remove " << dir_;
}

void WindowTest::WriteFile(const std::string& relative, const std::vector<std::uint8_t>& bytes) {
    const std::string path = Path(relative);
    MakeDirs(path.substr(0, path.rfind('/')));
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void WindowTest::WriteText(const std::string& relative, const std::string& text, bool executable) {
    WriteFile(relative, std::vector<std::uint8_t>(text.begin(), text.end()));
    if (executable) chmod(Path(relative).c_str(), 0755);
}

void WindowTest::InstallOpener(int exitCode) {
    WriteText("bin/xdg-open",
              "#!/bin/sh\necho \"$@\" > '" + Path("opener.out") + "'\nexit " +
                  std::to_string(exitCode) + "\n",
              true);
}

void WindowTest::InstallDefaultBrowser(const std::string& exec) {
    WriteText("bin/browser",
              "#!/bin/sh\necho \"$@\" > '" + Path("browser.tmp") + "'\nmv '" + Path("browser.tmp") +
                  "' '" + Path("browser.out") + "'\n",
              true);
    WriteText("data/applications/test-browser.desktop",
              "[Desktop Entry]\nType=Application\nName=Browser\nExec=" + exec + "\n");
    WriteText("config/mimeapps.list",
              "[Default Applications]\nx-scheme-handler/http=test-browser.desktop\n"
              "text/html=test-browser.desktop\n");
}

std::string WindowTest::WaitForFile(const std::string& relative) {
    for (int i = 0; i < 500; ++i) {
        std::ifstream in(Path(relative));
        std::stringstream content;
        content << in.rdbuf();
        if (in && !content.str().empty()) return content.str();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "";
}

std::vector<TraceEvent> WindowTest::Events(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<TraceEvent> out;
    for (const auto& e : events_)
        if (e.event == name) out.push_back(e);
    return out;
}

INT_PTR WindowTest::RunModal(CDialog& dialog, std::vector<std::function<void()>> steps,
                             int maxSeconds, int* secondsAfterSteps) {
    std::size_t next = 0;
    int seconds = 0;
    bool gaveUp = false;
    afx::automation::SetIdleHook([&] {
        if (next < steps.size()) {
            steps[next++]();
        } else if (seconds < maxSeconds) {
            ++seconds;
            afx::automation::Advance(1000);
        } else if (!gaveUp) {
            gaveUp = true;
            dialog.EndDialog(IDABORT);
        }
    });
    const INT_PTR result = dialog.DoModal();
    afx::automation::SetIdleHook(nullptr);
    EXPECT_FALSE(gaveUp) << "the dialog did not close by itself";
    EXPECT_EQ(next, steps.size()) << "the dialog closed before every step ran";
    if (secondsAfterSteps) *secondsAfterSteps = seconds;
    return result;
}

}  // namespace extrastest
