#include "tests/sound/sound_folder.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/mm/audio.h"
#include "platform/seams/seams.h"

namespace soundtest {

namespace fs = std::filesystem;

void InFolder::SetUp() {
    m_old = fs::current_path().string();
    m_dir = (fs::path(::testing::TempDir()) / ("sound_" + std::to_string(getpid()))).string();
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
    fs::current_path(m_dir);
    seams::SetTraceSink([this](const std::string& event, const std::vector<seams::Field>& fields) {
        traces.push_back(seams::TraceToJson(event, fields));
    });
}

void InFolder::TearDown() {
    mm::CloseAudio();
    seams::SetTraceSink({});
    if (seams::IsVirtualClock()) seams::UseRealClock();
    fs::current_path(m_old);
    fs::remove_all(m_dir);
}

void InFolder::WriteBytes(const std::string& name, const std::vector<unsigned char>& bytes) {
    fs::path path(name);
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::vector<unsigned char> InFolder::ReadBytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

bool InFolder::Exists(const std::string& name) { return fs::exists(name); }

}  // namespace soundtest
