#include "tests/mm/audio_fixture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <deque>

#include "platform/crt/resources.h"
#include "platform/mm/audio.h"

namespace mmtest {

void AudioTest::UseDriver(const char* driver) {
    mm::CloseAudio();
    setenv("SDL_AUDIODRIVER", driver, 1);
    setenv("SDL_DISKAUDIOFILE", DiskFile().c_str(), 1);
    std::remove(DiskFile().c_str());
    m_traces.clear();
    seams::SetTraceSink([this](const std::string& event, const std::vector<seams::Field>& fields) {
        m_traces.push_back({event, seams::TraceToJson(event, fields)});
    });
}

void AudioTest::TearDown() {
    mm::CloseAudio();
    std::remove(DiskFile().c_str());
    seams::SetTraceSink({});
    if (seams::IsVirtualClock()) seams::UseRealClock();
}

std::string AudioTest::DiskFile() const {
    return ::testing::TempDir() + "mm_disk_audio_" + std::to_string(getpid()) + ".raw";
}

void AudioTest::RegisterWave(int id, std::vector<unsigned char> bytes) {
    static std::deque<std::vector<unsigned char>> kept;
    kept.push_back(std::move(bytes));
    res::Resource resource{res::Kind::Wave, id, kept.back().data(),
                           static_cast<unsigned>(kept.back().size())};
    res::RegisterResources(&resource, 1);
}

std::vector<std::string> AudioTest::TraceJson() const {
    std::vector<std::string> lines;
    for (const auto& t : m_traces) lines.push_back(t.json);
    return lines;
}

}  // namespace mmtest
