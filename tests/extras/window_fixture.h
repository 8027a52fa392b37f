// What the advert window and hyperlink tests share: a private working folder (with ads\ and a
// desktop of its own: a stand-in opener, browser and default-browser entry on PATH and in the
// XDG folders), the virtual clock, the trace, and a modal runner driven from the idle hook.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/afx/afxwin.h"
#include "platform/afx/automation.h"
#include "platform/seams/seams.h"

namespace extrastest {

struct TraceEvent {
    std::string event;
    std::vector<seams::Field> fields;
    std::string Str(const char* name) const;
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes `bytes` into the working folder under `relative` (folders made as needed).
    void WriteFile(const std::string& relative, const std::vector<std::uint8_t>& bytes);
    void WriteText(const std::string& relative, const std::string& text, bool executable = false);
    // A stand-in for the desktop's opener that ends with `exitCode` (0: handed on).
    void InstallOpener(int exitCode);
    // A default browser entry whose command line is `exec` (with %u for the address), and a
    // stand-in browser program "browser" that writes its arguments to browser.out.
    void InstallDefaultBrowser(const std::string& exec);
    std::string Path(const std::string& relative) const { return dir_ + "/" + relative; }
    // Waits (real time) until the file exists with content; returns the content.
    std::string WaitForFile(const std::string& relative);

    std::vector<TraceEvent> Events(const std::string& name);

    // Runs `dialog` modally. Each idle moment of its loop runs the next step; after the last
    // step the virtual clock moves on a second per idle moment until the dialog closes (at
    // most `maxSeconds`, then it is closed and the test fails). Returns DoModal's result and
    // stores the number of seconds that had to pass in `secondsAfterSteps`.
    INT_PTR RunModal(CDialog& dialog, std::vector<std::function<void()>> steps, int maxSeconds = 30,
                     int* secondsAfterSteps = nullptr);

  private:
    std::string dir_;
    std::string oldDir_;
    std::string oldPath_;
    std::mutex mutex_;
    std::vector<TraceEvent> events_;
};

}  // namespace extrastest
