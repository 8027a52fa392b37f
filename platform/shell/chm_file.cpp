#include "platform/shell/chm_file.h"

#include <chm_lib.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace shell {

namespace {

// The system data: a 32-bit version, then records of a 16-bit code, a 16-bit length and data.
constexpr int kSystemDefaultTopic = 2;
constexpr int kSystemTitle = 3;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool IsPage(const std::string& path) {
    std::string p = Lower(path);
    auto ends = [&](const char* ext) {
        std::string e = ext;
        return p.size() > e.size() && p.compare(p.size() - e.size(), e.size(), e) == 0;
    };
    return ends(".htm") || ends(".html");
}

// A help file holds a few dozen objects. A damaged directory can list the same chunks again
// and again (a chain of directory chunks that comes back on itself) and never end: the listing
// stops at this many objects.
constexpr std::size_t kMaxListedObjects = 10000;

int CollectPath(chmFile*, chmUnitInfo* ui, void* context) {
    auto* paths = static_cast<std::vector<std::string>*>(context);
    paths->push_back(ui->path);
    return paths->size() < kMaxListedObjects ? CHM_ENUMERATOR_CONTINUE : CHM_ENUMERATOR_SUCCESS;
}

std::uint64_t Le(const unsigned char* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

// Checks the directory before chmlib reads it, for two faults of damaged files that chmlib does
// not catch:
// - it allocates one directory block of the size the directory header gives, whatever it is: a
//   header asking for gigabytes would have the game allocate them on opening its help (help
//   files use blocks of 4 KiB; nothing or more than 64 KiB is refused);
// - it follows the chain of listing chunks from the first to the last by their "next chunk"
//   fields, and a chain that comes back on itself never ends, even when its chunks list nothing.
// The file header: "ITSF", at 0x48 the offset of the directory header. The directory header:
// "ITSP", its length at 0x08, the block length at 0x10, the first listing chunk at 0x20, the
// number of chunks at 0x2C; the chunks follow it. A listing chunk: "PMGL", the next one at 0x10.
bool DirectoryIsSane(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return true;  // chmlib reports it
    auto readAt = [f](std::uint64_t offset, unsigned char* buffer, std::size_t size) {
        return offset < (std::uint64_t(1) << 40) &&
               std::fseek(f, static_cast<long>(offset), SEEK_SET) == 0 &&
               std::fread(buffer, 1, size, f) == size;
    };
    unsigned char header[0x58] = {};
    unsigned char directory[0x30] = {};
    bool sane = true;
    if (readAt(0, header, sizeof header) && std::memcmp(header, "ITSF", 4) == 0) {
        const std::uint64_t offset = Le(header + 0x48, 8);
        if (readAt(offset, directory, sizeof directory) && std::memcmp(directory, "ITSP", 4) == 0) {
            const std::uint64_t headerLength = Le(directory + 0x08, 4);
            const std::uint64_t blockLength = Le(directory + 0x10, 4);
            const std::uint64_t chunks = Le(directory + 0x2C, 4);
            sane = blockLength > 0 && blockLength <= (64u << 10);
            // Walks the chain as chmlib will; a chunk met twice is a chain without end.
            std::vector<bool> seen(std::min<std::uint64_t>(chunks, 1u << 20), false);
            auto chunk = static_cast<std::int32_t>(Le(directory + 0x20, 4));
            while (sane && chunk >= 0 && std::uint64_t(chunk) < seen.size()) {
                if (seen[std::size_t(chunk)]) {
                    sane = false;
                    break;
                }
                seen[std::size_t(chunk)] = true;
                unsigned char listing[0x14] = {};
                if (!readAt(offset + headerLength + std::uint64_t(chunk) * blockLength, listing,
                            sizeof listing) ||
                    std::memcmp(listing, "PMGL", 4) != 0)
                    break;  // chmlib stops there too
                chunk = static_cast<std::int32_t>(Le(listing + 0x10, 4));
            }
        }
    }
    std::fclose(f);
    return sane;
}

}  // namespace

ChmFile::~ChmFile() {
    if (m_file) chm_close(m_file);
}

bool ChmFile::Open(const std::string& path) {
    if (m_file) chm_close(m_file);
    m_file = nullptr;
    if (!DirectoryIsSane(path)) return false;
    m_file = chm_open(path.c_str());
    return m_file != nullptr;
}

std::optional<std::string> ChmFile::Read(const std::string& path) const {
    if (!m_file || path.empty()) return std::nullopt;
    std::string full = path[0] == '/' ? path : "/" + path;
    chmUnitInfo ui;
    if (chm_resolve_object(m_file, full.c_str(), &ui) != CHM_RESOLVE_SUCCESS) {
        // Links are written with any case; look the name up without it.
        std::string wanted = Lower(full);
        std::string match;
        for (const auto& candidate : List())
            if (Lower(candidate) == wanted) match = candidate;
        if (match.empty() || chm_resolve_object(m_file, match.c_str(), &ui) != CHM_RESOLVE_SUCCESS)
            return std::nullopt;
    }
    // Help files are small; refuse anything absurd rather than allocate it.
    if (ui.length > (64u << 20)) return std::nullopt;
    std::string data(static_cast<std::size_t>(ui.length), '\0');
    if (ui.length > 0) {
        LONGINT64 got = chm_retrieve_object(m_file, &ui, reinterpret_cast<unsigned char*>(&data[0]),
                                            0, static_cast<LONGINT64>(ui.length));
        if (got < 0) return std::nullopt;
        data.resize(static_cast<std::size_t>(got));
    }
    return data;
}

std::vector<std::string> ChmFile::List() const {
    std::vector<std::string> paths;
    if (m_file) chm_enumerate(m_file, CHM_ENUMERATE_ALL, CollectPath, &paths);
    return paths;
}

std::optional<std::string> ChmFile::SystemEntry(int code) const {
    auto system = Read("/#SYSTEM");
    if (!system || system->size() < 4) return std::nullopt;
    const auto* p = reinterpret_cast<const unsigned char*>(system->data());
    std::size_t pos = 4, size = system->size();
    while (pos + 4 <= size) {
        int recordCode = p[pos] | (p[pos + 1] << 8);
        std::size_t length = p[pos + 2] | (p[pos + 3] << 8);
        pos += 4;
        if (length > size - pos) break;
        if (recordCode == code) {
            std::string value(system->data() + pos, length);
            value = value.substr(0, value.find('\0'));
            return value;
        }
        pos += length;
    }
    return std::nullopt;
}

std::string ChmFile::DefaultTopic() const {
    if (!m_file) return "";
    if (auto topic = SystemEntry(kSystemDefaultTopic); topic && !topic->empty()) {
        std::string path = (*topic)[0] == '/' ? *topic : "/" + *topic;
        if (Read(path)) return path;
    }
    for (const char* name : {"/index.htm", "/index.html", "/default.htm", "/default.html"})
        if (Read(name)) return name;
    auto paths = List();
    std::sort(paths.begin(), paths.end());
    for (const auto& path : paths) {
        if (!IsPage(path) || path.find("/#") == 0 || path.find("/$") == 0) continue;
        // A damaged directory may name an object without its leading '/'.
        return path[0] == '/' ? path : "/" + path;
    }
    return "";
}

std::string ChmFile::Title() const { return SystemEntry(kSystemTitle).value_or(""); }

}  // namespace shell
