// A folder of a fuzz target's own, under the system's temporary folder, for the files an input is
// written to when the code under test reads files by the program's relative names. The target
// enters it for each input and leaves it again, because the fuzzer itself reads its corpus by
// relative names from the folder it was started in.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzzsupport {

class FuzzFolder {
  public:
    // Makes <temporary folder>/<name>_XXXXXX and remembers the starting folder.
    explicit FuzzFolder(const char* name) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + name + "_XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd) != nullptr) home_ = cwd;
    }
    const std::string& Path() const { return path_; }
    // Enters the folder; false when it could not be made or entered.
    bool Enter() const { return !path_.empty() && !home_.empty() && chdir(path_.c_str()) == 0; }
    // Back to the starting folder; false when that failed.
    bool Leave() const { return chdir(home_.c_str()) == 0; }

  private:
    std::string path_;
    std::string home_;
};

// Writes `size` bytes to `name` in the current folder; false when it could not.
inline bool WriteInput(const char* name, const unsigned char* data, std::size_t size) {
    std::FILE* f = std::fopen(name, "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

}  // namespace fuzzsupport
