// Each test runs in a folder of its own, as the program runs in its data folder.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace soundtest {

class InFolder : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    static void WriteBytes(const std::string& name, const std::vector<unsigned char>& bytes);
    static std::vector<unsigned char> ReadBytes(const std::string& name);
    static bool Exists(const std::string& name);

    // Trace lines recorded during the test, as JSON.
    std::vector<std::string> traces;

  private:
    std::string m_old, m_dir;
};

}  // namespace soundtest
