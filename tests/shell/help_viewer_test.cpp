#include "platform/shell/help_viewer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/seams/seams.h"
#include "platform/shell/shell.h"
#include "tests/shell/shell_fixture.h"

namespace {

using shelltest::ShellTest;

std::string HelpTrace(const std::string& file) {
    return seams::TraceToJson("help", {{"file", file}});
}

TEST_F(ShellTest, ViewerShowsTheDefaultTopicAndFollowsLinks) {
    std::string file = shelltest::TestHelpFile();
    void* viewer = HtmlHelp(nullptr, file.c_str(), HH_DISPLAY_TOPIC, 0);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(shell::HelpViewerPage(viewer), "/start.htm");
    EXPECT_EQ(shell::HelpViewerCaption(viewer), "Viewer Test Help");
    EXPECT_NE(shell::HelpViewerText(viewer).find("欢迎"), std::string::npos);

    shell::HelpViewerFollowLink(viewer, "Rules.htm");
    EXPECT_EQ(shell::HelpViewerPage(viewer), "/Rules.htm");
    EXPECT_NE(shell::HelpViewerText(viewer).find("two bends"), std::string::npos);
    shell::HelpViewerFollowLink(viewer, "start.htm");
    EXPECT_EQ(shell::HelpViewerPage(viewer), "/start.htm");

    // A web address goes to the browser; the page stays.
    shell::HelpViewerFollowLink(viewer, "https://kivra.example.org/help");
    EXPECT_EQ(shell::HelpViewerPage(viewer), "/start.htm");
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0],
              (std::vector<std::string>{"xdg-open", "https://kivra.example.org/help"}));

    // Asking again brings the same window back at the default topic.
    shell::HelpViewerFollowLink(viewer, "Rules.htm#scoring");
    EXPECT_EQ(shell::HelpViewerPage(viewer), "/Rules.htm");
    EXPECT_EQ(HtmlHelp(nullptr, file.c_str(), HH_DISPLAY_TOPIC, 0), viewer);
    EXPECT_EQ(shell::HelpViewerPage(viewer), "/start.htm");
    EXPECT_EQ(shell::HelpWindowCount(), 1);
    EXPECT_EQ(traces,
              (std::vector<std::string>{
                  HelpTrace(file),
                  seams::TraceToJson("url", {{"address", "https://kivra.example.org/help"}}),
                  HelpTrace(file)}));
}

TEST_F(ShellTest, ViewerOpensTheFileByItsRelativeName) {
    auto old = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(shelltest::TestHelpFile()).parent_path());
    void* viewer = HtmlHelp(nullptr, "viewer_test.chm", HH_DISPLAY_TOPIC, 0);
    std::filesystem::current_path(old);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(shell::HelpViewerPage(viewer), "/start.htm");
    EXPECT_EQ(traces, std::vector<std::string>{HelpTrace("viewer_test.chm")});
}

TEST_F(ShellTest, MissingHelpFileIsReportedByTheViewer) {
    void* window = HtmlHelp(nullptr, "mavek.chm", HH_DISPLAY_TOPIC, 0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(shell::HelpViewerPage(window), "");
    EXPECT_NE(shell::HelpViewerText(window).find("mavek.chm"), std::string::npos);
    EXPECT_EQ(shell::HelpWindowCount(), 1);
    CloseHelpViewers();
    EXPECT_EQ(shell::HelpWindowCount(), 0);
    EXPECT_EQ(traces, std::vector<std::string>{HelpTrace("mavek.chm")});
}

}  // namespace
