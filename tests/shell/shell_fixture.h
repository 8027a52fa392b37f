// A private desktop for the shell tests: XDG folders under a temporary home, a launcher that
// records instead of starting programs, and the trace recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/shell/launch.h"

namespace shelltest {

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file under the temporary home ("share/applications/x.desktop").
    void WriteHomeFile(const std::string& relative, const std::string& text);
    // mimeapps.list in the user's configuration folder.
    void SetMimeApps(const std::string& text) { WriteHomeFile("config/mimeapps.list", text); }
    std::string Home() const { return m_home; }

    // What the recording launcher answers, and what it was asked.
    shell::LaunchResult launchAnswer{true, true, 0};
    std::vector<std::vector<std::string>> launched;
    std::vector<std::string> traces;  // JSON lines

  private:
    std::string m_home;
};

// The help file compiled for the tests.
std::string TestHelpFile();

}  // namespace shelltest
