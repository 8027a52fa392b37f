// The game's own help file in the viewer.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/shell/chm_file.h"
#include "platform/shell/help_viewer.h"
#include "platform/shell/shell.h"
#include "tests/shell/shell_fixture.h"

namespace {

using shelltest::ShellTest;

TEST_F(ShellTest, GameHelpOpensAtItsDefaultTopicAndItsLinksWork) {
    auto old = std::filesystem::current_path();
    std::filesystem::current_path(KIVRA_DATA_DIR);
    void* viewer = HtmlHelp(nullptr, "mavek.chm", HH_DISPLAY_TOPIC, 0);
    std::filesystem::current_path(old);
    ASSERT_NE(viewer, nullptr);

    shell::ChmFile chm;
    ASSERT_TRUE(chm.Open(std::string(KIVRA_DATA_DIR) + "/mavek.chm"));
    std::string home = chm.DefaultTopic();
    EXPECT_EQ(shell::HelpViewerPage(viewer), home);
    EXPECT_FALSE(shell::HelpViewerText(viewer).empty());

    // Every page the default topic links to opens in the viewer with text of its own.
    auto page = chm.Read(home);
    ASSERT_TRUE(page);
    // Every href="page.htm" of the page (addresses and anchors are left aside).
    std::vector<std::string> targets;
    int followed = 0;
    for (std::size_t at = page->find("href=\""); at != std::string::npos;
         at = page->find("href=\"", at + 1)) {
        std::size_t start = at + 6, end = page->find('"', start);
        if (end == std::string::npos) break;
        std::string target = page->substr(start, end - start);
        if (target.find(':') == std::string::npos && target.find('#') == std::string::npos &&
            target.find(".htm") != std::string::npos)
            targets.push_back(target);
    }
    for (const std::string& target : targets) {
        shell::HelpViewerFollowLink(viewer, target);
        std::string shown = shell::HelpViewerPage(viewer);
        EXPECT_NE(shown, home) << target;
        EXPECT_TRUE(chm.Read(shown)) << target;
        EXPECT_FALSE(shell::HelpViewerText(viewer).empty()) << target;
        HtmlHelp(nullptr, (std::string(KIVRA_DATA_DIR) + "/mavek.chm").c_str(), HH_DISPLAY_TOPIC,
                 0);
        ++followed;
    }
    EXPECT_GT(followed, 0) << "the default topic links to no page";
}

}  // namespace
