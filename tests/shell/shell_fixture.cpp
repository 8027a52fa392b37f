#include "tests/shell/shell_fixture.h"

#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/seams/seams.h"
#include "platform/shell/shell.h"

namespace shelltest {

namespace fs = std::filesystem;

namespace {

// The viewer needs the program's application object; tests run on Qt's offscreen platform.
class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "test_shell";
        static char* argv[] = {name, nullptr};
        m_app = new QApplication(argc, argv);
    }
    void TearDown() override {
        CloseHelpViewers();
        delete m_app;
    }

  private:
    QApplication* m_app = nullptr;
};

const auto* g_environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

void ShellTest::SetUp() {
    m_home = (fs::path(::testing::TempDir()) / ("shell_home_" + std::to_string(getpid()))).string();
    fs::remove_all(m_home);
    fs::create_directories(m_home + "/config");
    fs::create_directories(m_home + "/share/applications");
    setenv("HOME", m_home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (m_home + "/config").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (m_home + "/etc-xdg").c_str(), 1);
    setenv("XDG_DATA_HOME", (m_home + "/share").c_str(), 1);
    setenv("XDG_DATA_DIRS", (m_home + "/system-share").c_str(), 1);
    shell::SetLauncher([this](const std::vector<std::string>& argv, int) {
        launched.push_back(argv);
        return launchAnswer;
    });
    seams::SetTraceSink([this](const std::string& event, const std::vector<seams::Field>& fields) {
        traces.push_back(seams::TraceToJson(event, fields));
    });
}

void ShellTest::TearDown() {
    CloseHelpViewers();
    shell::SetLauncher({});
    seams::SetTraceSink({});
    fs::remove_all(m_home);
}

void ShellTest::WriteHomeFile(const std::string& relative, const std::string& text) {
    fs::path path = fs::path(m_home) / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

std::string TestHelpFile() { return TEST_HELP_FILE; }

}  // namespace shelltest
