// Runs each sound test on a chosen SDL audio driver with the trace recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/seams/seams.h"

namespace mmtest {

struct TraceLine {
    std::string event;
    std::string json;
};

class AudioTest : public ::testing::Test {
  protected:
    // `driver` as SDL_AUDIODRIVER; "disk" writes the output to DiskFile().
    void UseDriver(const char* driver);
    void TearDown() override;
    std::string DiskFile() const;
    // Registers a WAVE resource (the bytes are kept for the rest of the process).
    void RegisterWave(int id, std::vector<unsigned char> bytes);
    std::vector<TraceLine> Traces() const { return m_traces; }
    std::vector<std::string> TraceJson() const;

  private:
    std::vector<TraceLine> m_traces;
};

}  // namespace mmtest
