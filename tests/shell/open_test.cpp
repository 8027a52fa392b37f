#include <gtest/gtest.h>

#include "platform/seams/seams.h"
#include "platform/shell/shell.h"
#include "tests/shell/shell_fixture.h"

namespace {

using shelltest::ShellTest;
using Args = std::vector<std::string>;

std::string UrlTrace(const char* address) {
    return seams::TraceToJson("url", {{"address", address}});
}

TEST_F(ShellTest, OpeningAnAddressHandsItToTheDesktopOpener) {
    EXPECT_EQ(
        ShellExecute(nullptr, "open", "https://kivra.example.org/about", nullptr, nullptr, SW_SHOW),
        42);
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0], (Args{"xdg-open", "https://kivra.example.org/about"}));
    EXPECT_EQ(traces, std::vector<std::string>{UrlTrace("https://kivra.example.org/about")});
}

TEST_F(ShellTest, OpenerFailuresBecomeShellErrorCodes) {
    launchAnswer = {true, true, 3};  // a tool it needs is missing
    EXPECT_EQ(ShellExecute(nullptr, "open", "http://a.example/", nullptr, nullptr, SW_SHOW),
              SE_ERR_NOASSOC);
    launchAnswer = {true, true, 4};  // no handler could open it
    EXPECT_EQ(ShellExecute(nullptr, nullptr, "http://a.example/", nullptr, nullptr, SW_SHOW),
              SE_ERR_NOASSOC);
    launchAnswer = {false, false, 0};  // no opener installed
    EXPECT_EQ(ShellExecute(nullptr, "open", "http://a.example/", nullptr, nullptr, SW_SHOW),
              SE_ERR_NOASSOC);
    launchAnswer = {true, false, 0};  // still running: it took the address
    EXPECT_EQ(ShellExecute(nullptr, "open", "mailto:a@b.example", nullptr, nullptr, SW_SHOW), 42);
    // Files that do not exist are not handed on; other verbs are not known.
    EXPECT_EQ(ShellExecute(nullptr, "open", "no-such-file.htm", nullptr, nullptr, SW_SHOW),
              SE_ERR_FNF);
    EXPECT_EQ(ShellExecute(nullptr, "print", "http://a.example/", nullptr, nullptr, SW_SHOW),
              SE_ERR_NOASSOC);
    EXPECT_EQ(ShellExecute(nullptr, "open", "", nullptr, nullptr, SW_SHOW), SE_ERR_FNF);
    EXPECT_EQ(launched.size(), 4u);
    EXPECT_EQ(traces, std::vector<std::string>{UrlTrace("mailto:a@b.example")});
}

TEST_F(ShellTest, StartingACommandLine) {
    EXPECT_EQ(WinExec("\"/opt/web by/webby\" --new-window https://kivra.example.org/", SW_SHOW),
              42u);
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0],
              (Args{"/opt/web by/webby", "--new-window", "https://kivra.example.org/"}));
    EXPECT_EQ(traces, std::vector<std::string>{UrlTrace("https://kivra.example.org/")});

    launchAnswer = {false, false, 0};
    EXPECT_EQ(WinExec("missing-browser http://x.example/", SW_SHOW), unsigned(SE_ERR_FNF));
    EXPECT_EQ(WinExec("\"unterminated http://x.example/", SW_SHOW), unsigned(SE_ERR_OOM));
    EXPECT_EQ(WinExec("   ", SW_SHOW), unsigned(SE_ERR_OOM));
    EXPECT_EQ(traces.size(), 1u);
}

TEST_F(ShellTest, RealStartOfACommandLine) {
    shell::SetLauncher({});
    EXPECT_EQ(WinExec("true", SW_SHOW), 42u);
    EXPECT_EQ(WinExec("kivra-no-such-browser http://x.example/", SW_SHOW), unsigned(SE_ERR_FNF));
    EXPECT_TRUE(traces.empty());
}

}  // namespace
