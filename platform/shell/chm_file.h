// Read access to a compiled HTML help file through chmlib: its pages and pictures by path, its
// default topic and its title.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct chmFile;

namespace shell {

class ChmFile {
  public:
    ChmFile() = default;
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    // False when the file is missing or not a compiled help file.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_file != nullptr; }

    // The object at `path` ("/rules.htm"; a path without the leading '/' is taken from the
    // root; matching ignores case, as the format does). Nullopt when absent.
    std::optional<std::string> Read(const std::string& path) const;

    // The page to show first: the default topic recorded in the file's system data, else
    // "/index.htm(l)" or "/default.htm(l)", else the first page in the file. Empty when the file
    // holds no page at all. Always starts with '/'.
    std::string DefaultTopic() const;
    // The title recorded in the file; empty when there is none.
    std::string Title() const;
    // Every object path in the file.
    std::vector<std::string> List() const;

  private:
    std::optional<std::string> SystemEntry(int code) const;
    chmFile* m_file = nullptr;
};

}  // namespace shell
