// Test support: a fresh working directory per test, as the game runs in its data folder, and
// whole-file reads and writes for checking the exact bytes a test leaves on disk.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace testsupport {

// Enter() makes a new directory under the system's temporary folder (TMPDIR is honoured) and
// makes it the current directory; Leave() goes back and removes it with everything inside.
// Call them from SetUp() and TearDown(): they fail the test through gtest assertions.
class ScratchDir {
  public:
    void Enter(const std::string& prefix) {
        std::error_code ec;
        std::string pattern =
            (std::filesystem::temp_directory_path(ec) / (prefix + "_XXXXXX")).string();
        ASSERT_FALSE(ec) << ec.message();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        ASSERT_NE(mkdtemp(buffer.data()), nullptr) << pattern;
        m_dir = buffer.data();
        m_previous = std::filesystem::current_path(ec).string();
        ASSERT_FALSE(ec) << ec.message();
        ASSERT_EQ(chdir(m_dir.c_str()), 0) << m_dir;
    }
    void Leave() {
        if (m_dir.empty()) return;
        ASSERT_EQ(chdir(m_previous.c_str()), 0) << m_previous;
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
        m_dir.clear();
    }
    const std::string& Path() const { return m_dir; }

  private:
    std::string m_dir;
    std::string m_previous;
};

// The whole content of `path` (empty when it cannot be read).
inline std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Replaces `path` with exactly `bytes`.
inline void Put(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

}  // namespace testsupport
