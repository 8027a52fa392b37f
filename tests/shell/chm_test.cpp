#include <gtest/gtest.h>

#include <fstream>

#include "platform/shell/chm_file.h"
#include "tests/shell/shell_fixture.h"

namespace {

TEST(ChmFile, ReadsPagesTopicAndTitle) {
    shell::ChmFile chm;
    ASSERT_TRUE(chm.Open(shelltest::TestHelpFile()));
    EXPECT_EQ(chm.DefaultTopic(), "/start.htm");
    EXPECT_EQ(chm.Title(), "Viewer Test Help");
    auto page = chm.Read("/start.htm");
    ASSERT_TRUE(page);
    EXPECT_NE(page->find("欢迎"), std::string::npos);
    // Names match without regard to case, with or without the leading slash.
    auto rules = chm.Read("rules.HTM");
    ASSERT_TRUE(rules);
    EXPECT_NE(rules->find("Rules page"), std::string::npos);
    EXPECT_FALSE(chm.Read("/missing.htm"));
    EXPECT_FALSE(chm.Read(""));
}

TEST(ChmFile, RefusesWhatIsNotAHelpFile) {
    shell::ChmFile chm;
    EXPECT_FALSE(chm.Open("kivra-no-such-file.chm"));
    std::string path = ::testing::TempDir() + "not_help.chm";
    std::ofstream(path) << "ITSF but not really a help file at all";
    EXPECT_FALSE(chm.Open(path));
    EXPECT_EQ(chm.DefaultTopic(), "");
    EXPECT_FALSE(chm.Read("/start.htm"));
    std::remove(path.c_str());
}

}  // namespace
