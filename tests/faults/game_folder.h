// A game folder for one fault case: the generated data with the player's files beside it
// (settings with music on, four score tables, an advert list that shows an advert after the
// first Easy level), then one group of its files damaged in one way.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace faults {

// What happens to a file before the game starts.
enum class Damage {
    Missing,      // deleted
    Empty,        // 0 bytes
    Truncated,    // the first half of its bytes
    RandomBytes,  // as many bytes as it had, from a fixed seed
    Directory,    // a folder of that name in its place
    Unreadable,   // mode 000
};
const char* DamageName(Damage damage);

// The player's Easy table in the fixture: ten ranked scores that any finished game beats.
std::string FixtureScoreTable();

class GameFolder {
  public:
    // A fresh copy of `dataDir` under the temporary folder, with the player's files.
    explicit GameFolder(const std::string& dataDir);
    ~GameFolder();
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const;  // "img\101.jpg" or "img/101.jpg"

    // The files of the folder matching a data-file pattern: a name, or "folder\*.ext".
    std::vector<std::string> Matching(const std::string& pattern) const;
    void Apply(const std::string& pattern, Damage damage);

    // Every file below the folder with its bytes (folders as "<dir>").
    std::map<std::string, std::string> Snapshot() const;

    // Makes the folder itself refuse new files (mode 555) / a file refuse writes (mode 444).
    void RefuseNewFiles();
    void RefuseWrites(const std::string& name);

  private:
    std::string path_;
};

}  // namespace faults
