#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

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

// The test help file with some bytes changed, written to a file of its own.
class DamagedHelpFile {
  public:
    DamagedHelpFile() {
        std::ifstream in(shelltest::TestHelpFile(), std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ~DamagedHelpFile() { std::remove(path_.c_str()); }
    std::uint32_t Le32(std::size_t at) const {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes_.at(at + i));
        return v;
    }
    void SetLe32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_.at(at + i) = static_cast<char>(v >> (8 * i));
    }
    // The directory header ("ITSP"), whose offset the file header holds at 0x48.
    std::size_t Directory() const { return Le32(0x48); }
    const std::string& Write() {
        std::ofstream(path_, std::ios::binary) << bytes_;
        return path_;
    }

  private:
    std::string bytes_;
    std::string path_ = ::testing::TempDir() + "damaged_help.chm";
};

// A directory header asking for blocks of 2 GiB: refused before anything is allocated for it.
TEST(ChmFile, RefusesADirectoryOfGiantBlocks) {
    DamagedHelpFile file;
    ASSERT_EQ(file.Le32(file.Directory() + 0x10), 0x1000u) << "the block length";
    file.SetLe32(file.Directory() + 0x10, 0x80000000u);
    shell::ChmFile chm;
    EXPECT_FALSE(chm.Open(file.Write()));
}

// A listing chunk whose "next chunk" is itself: chmlib would follow the chain for ever (even
// when the chunk lists nothing), so the file is refused before chmlib reads it.
TEST(ChmFile, RefusesADirectoryWhoseChunkChainComesBackOnItself) {
    DamagedHelpFile file;
    const std::size_t chunk = file.Directory() + file.Le32(file.Directory() + 8) +
                              file.Le32(file.Directory() + 0x20) * 0x1000;
    ASSERT_EQ(file.Le32(chunk + 0x10), 0xFFFFFFFFu) << "the only chunk has no next one";
    file.SetLe32(chunk + 0x10, file.Le32(file.Directory() + 0x20));
    shell::ChmFile chm;
    EXPECT_FALSE(chm.Open(file.Write()));
    EXPECT_EQ(chm.DefaultTopic(), "");
}

}  // namespace
