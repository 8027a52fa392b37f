#include <gtest/gtest.h>

#include "platform/shell/desktop_entry.h"
#include "platform/shell/launch.h"

namespace {

using Args = std::vector<std::string>;

Args Split(const std::string& line) {
    Args argv;
    EXPECT_TRUE(shell::SplitCommandLine(line, argv)) << line;
    return argv;
}

TEST(CommandLine, SplitsLikeTheShellsStartCommand) {
    EXPECT_EQ(Split("firefox https://a.example/x"), (Args{"firefox", "https://a.example/x"}));
    EXPECT_EQ(Split("  \"/opt/web by/webby\"   -new \"%1\" "),
              (Args{"/opt/web by/webby", "-new", "%1"}));
    EXPECT_EQ(Split("a\"b c\"d \"\""), (Args{"ab cd", ""}));
    EXPECT_EQ(Split("say \"a \\\"quoted\\\" word\""), (Args{"say", "a \"quoted\" word"}));
    EXPECT_EQ(Split(""), Args{});
    Args argv{"left over"};
    EXPECT_FALSE(shell::SplitCommandLine("prog \"unterminated", argv));
    EXPECT_TRUE(argv.empty());
}

TEST(DesktopExec, BecomesARegisteredCommandLine) {
    using shell::ExecToCommandLine;
    EXPECT_EQ(ExecToCommandLine("firefox %u"), "\"firefox\" \"%1\"");
    EXPECT_EQ(ExecToCommandLine("/usr/bin/chromium --new-window %U"),
              "\"/usr/bin/chromium\" --new-window \"%1\"");
    // Field codes that are not the address disappear; %% is a percent sign.
    EXPECT_EQ(ExecToCommandLine("webby %i --title=100%% %c %k %F"),
              "\"webby\" --title=100% \"%1\"");
    // No placeholder at all: the line stays without one.
    EXPECT_EQ(ExecToCommandLine("epiphany"), "\"epiphany\"");
    // Quoted arguments keep their blanks and escapes; a code inside one becomes %1 in place.
    EXPECT_EQ(ExecToCommandLine("\"/opt/web by/webby\" \"--open=%u\" \"a \\\"b\\\"\""),
              "\"/opt/web by/webby\" --open=%1 \"a \\\"b\\\"\"");
    EXPECT_FALSE(ExecToCommandLine("\"broken %u"));
    EXPECT_FALSE(ExecToCommandLine("   "));
}

TEST(DesktopExec, CommandLineSplitsBackToTheEntrysArguments) {
    auto line = shell::ExecToCommandLine("\"/opt/web by/webby\" --flag \"x y\" %u");
    ASSERT_TRUE(line);
    EXPECT_EQ(Split(*line), (Args{"/opt/web by/webby", "--flag", "x y", "%1"}));
}

TEST(RealLauncher, ReportsStartExitAndMissingPrograms) {
    auto ok = shell::Launch({"true"}, 5000);
    EXPECT_TRUE(ok.started);
    EXPECT_TRUE(ok.finished);
    EXPECT_EQ(ok.exitCode, 0);
    auto four = shell::Launch({"sh", "-c", "exit 4"}, 5000);
    EXPECT_TRUE(four.finished);
    EXPECT_EQ(four.exitCode, 4);
    EXPECT_FALSE(shell::Launch({"kivra-no-such-program"}, 1000).started);
    EXPECT_FALSE(shell::Launch({}, 0).started);
    // A program that runs on is left running, not waited for.
    auto running = shell::Launch({"sleep", "2"}, 50);
    EXPECT_TRUE(running.started);
    EXPECT_FALSE(running.finished);
}

}  // namespace
