// The plug-in's message box: a dialog program on the desktop, waited for; standard error when
// there is no desktop or no dialog program; a sink for tests.
#include "plugin/message_box.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/plugin/jpeg_builder.h"

namespace plugintest {
namespace {

// Replaces PATH and the desktop variables for one test and puts them back afterwards.
class MessageBoxEnvironment : public ::testing::Test {
  protected:
    void SetUp() override {
        Save("PATH");
        Save("DISPLAY");
        Save("WAYLAND_DISPLAY");
        dir_ = TempPath("dialogs");
        mkdir(dir_.c_str(), 0755);
        log_ = dir_ + "/log.txt";
        std::remove(log_.c_str());
        std::remove((dir_ + "/zenity").c_str());
        std::remove((dir_ + "/xmessage").c_str());
        setenv("PATH", dir_.c_str(), 1);
        unsetenv("WAYLAND_DISPLAY");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value.first) {
                setenv(name.c_str(), value.second.c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        vantor::SetMessageSink(nullptr);
        for (const char* file : {"/log.txt", "/zenity", "/xmessage"}) {
            std::remove((dir_ + file).c_str());
        }
    }

    void Save(const char* name) {
        const char* v = std::getenv(name);
        saved_.push_back({name, {v != nullptr, v != nullptr ? v : ""}});
    }

    // A stand-in dialog program that records its arguments, one per line, and exits with `code`.
    void FakeDialog(const std::string& name, int code) {
        const std::string path = dir_ + "/" + name;
        std::ofstream script(path);
        script << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '" << log_
               << "'\necho " << name << " >> '" << log_ << "'\nexit " << code << "\n";
        script.close();
        chmod(path.c_str(), 0755);
    }

    std::string Log() const {
        std::ifstream in(log_);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string Show(const char* text) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(vantor::AfxMessageBox(text), vantor::IDOK);
        return ::testing::internal::GetCapturedStderr();
    }

    std::string dir_, log_;
    std::vector<std::pair<std::string, std::pair<bool, std::string>>> saved_;
};

TEST_F(MessageBoxEnvironment, OnTheDesktopTheDialogProgramShowsTheText) {
    setenv("DISPLAY", ":99", 1);
    FakeDialog("zenity", 0);
    EXPECT_EQ(Show("不支持的jpeg 格式！ <&>"), "");
    EXPECT_EQ(
        Log(),
        "--info\n--no-wrap\n--title=vantor\n--text=不支持的jpeg 格式！ &lt;&amp;&gt;\nzenity\n");
}

TEST_F(MessageBoxEnvironment, WithoutZenityXmessageIsTried) {
    setenv("DISPLAY", ":99", 1);
    FakeDialog("xmessage", 0);
    EXPECT_EQ(Show("hello"), "");
    EXPECT_EQ(Log(), "-center\n-title\nvantor\n-buttons\nOK:0\nhello\nxmessage\n");
}

TEST_F(MessageBoxEnvironment, ADialogThatCannotReachTheDesktopFallsBackToStandardError) {
    setenv("DISPLAY", ":99", 1);
    FakeDialog("zenity", 5);
    FakeDialog("xmessage", 5);
    EXPECT_EQ(Show("hello"), "vantor: hello\n");
    EXPECT_EQ(Log(),
              "--info\n--no-wrap\n--title=vantor\n--text=hello\nzenity\n-center\n-title\n"
              "vantor\n-buttons\nOK:0\nhello\nxmessage\n");
}

TEST_F(MessageBoxEnvironment, WithoutADesktopTheTextGoesToStandardError) {
    unsetenv("DISPLAY");
    FakeDialog("zenity", 0);
    EXPECT_EQ(Show("不支持 Jpeg 格式文件的写操作"), "vantor: 不支持 Jpeg 格式文件的写操作\n");
    EXPECT_EQ(Log(), "");
}

std::string g_received;
void Receive(const char* text) { g_received += text; }

TEST_F(MessageBoxEnvironment, ASinkReceivesTheTextInstead) {
    setenv("DISPLAY", ":99", 1);
    FakeDialog("zenity", 0);
    g_received.clear();
    vantor::SetMessageSink(Receive);
    EXPECT_EQ(Show("hello"), "");
    EXPECT_EQ(g_received, "hello");
    EXPECT_EQ(Log(), "");
}

}  // namespace
}  // namespace plugintest
