#include "tests/faults/game_folder.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace faults {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string Slashed(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

}  // namespace

const char* DamageName(Damage damage) {
    switch (damage) {
        case Damage::Missing:
            return "missing";
        case Damage::Empty:
            return "empty";
        case Damage::Truncated:
            return "truncated";
        case Damage::RandomBytes:
            return "random bytes";
        case Damage::Directory:
            return "directory";
        case Damage::Unreadable:
            return "mode 000";
    }
    return "?";
}

std::string FixtureScoreTable() {
    std::string text;
    for (int rank = 1; rank <= 10; ++rank)
        text += std::to_string(11 - rank) + "\r\nplayer " + std::to_string(rank) + "\r\n";
    return text;
}

GameFolder::GameFolder(const std::string& dataDir) {
    std::string pattern = (fs::temp_directory_path() / "kivra-faults-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return;
    path_ = pattern;
    fs::copy(dataDir, path_, fs::copy_options::recursive);
    // Sound on, music on, the first theme.
    WriteAll(File("mavek.cfg"), std::string("\1\0\0\0\1\0\0\0\0\0\0\0", 12));
    for (int d = 1; d <= 4; ++d) WriteAll(File("score." + std::to_string(d)), FixtureScoreTable());
    // An advert after every level, so that clearing the first Easy level opens one.
    std::string list;
    for (int d = 1; d <= 4; ++d)
        for (int level = 1; level <= 11; ++level) {
            const std::string id = std::to_string(d * 100 + level);
            list.append(id).append(" https://kivra.example.org/ad/").append(id).append("\r\n");
        }
    WriteAll(File("ads/url.txt"), list);
}

GameFolder::~GameFolder() {
    if (path_.empty()) return;
    // Give back every right taken away, so that the whole folder can go.
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string GameFolder::File(const std::string& name) const {
    return (fs::path(path_) / Slashed(name)).string();
}

std::vector<std::string> GameFolder::Matching(const std::string& pattern) const {
    const std::string name = Slashed(pattern);
    const auto star = name.find('*');
    if (star == std::string::npos) return {File(name)};
    const fs::path before(name.substr(0, star));
    const fs::path dir = fs::path(path_) / before.parent_path();
    const std::string prefix = before.filename().string();
    const std::string suffix = name.substr(star + 1);
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string file = entry.path().filename().string();
        if (file.size() >= prefix.size() + suffix.size() && file.rfind(prefix, 0) == 0 &&
            file.compare(file.size() - suffix.size(), suffix.size(), suffix) == 0)
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

void GameFolder::Apply(const std::string& pattern, Damage damage) {
    std::mt19937 random(20261208);
    for (const std::string& file : Matching(pattern)) {
        const std::string bytes = ReadAll(file);
        switch (damage) {
            case Damage::Missing:
                fs::remove(file);
                break;
            case Damage::Empty:
                WriteAll(file, "");
                break;
            case Damage::Truncated:
                WriteAll(file, bytes.substr(0, bytes.size() / 2));
                break;
            case Damage::RandomBytes: {
                std::string noise(bytes.size(), '\0');
                for (char& c : noise) c = static_cast<char>(random() & 0xFF);
                WriteAll(file, noise);
                break;
            }
            case Damage::Directory:
                fs::remove(file);
                fs::create_directory(file);
                break;
            case Damage::Unreadable:
                chmod(file.c_str(), 0);
                break;
        }
    }
}

std::map<std::string, std::string> GameFolder::Snapshot() const {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const std::string name = fs::relative(it->path(), path_).string();
        files[name] = it->is_directory() ? "<dir>" : ReadAll(it->path());
    }
    return files;
}

void GameFolder::RefuseNewFiles() { chmod(path_.c_str(), 0555); }

void GameFolder::RefuseWrites(const std::string& name) { chmod(File(name).c_str(), 0444); }

}  // namespace faults
