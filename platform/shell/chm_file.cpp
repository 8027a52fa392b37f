#include "platform/shell/chm_file.h"

#include <chm_lib.h>

#include <algorithm>
#include <cctype>

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

int CollectPath(chmFile*, chmUnitInfo* ui, void* context) {
    static_cast<std::vector<std::string>*>(context)->push_back(ui->path);
    return CHM_ENUMERATOR_CONTINUE;
}

}  // namespace

ChmFile::~ChmFile() {
    if (m_file) chm_close(m_file);
}

bool ChmFile::Open(const std::string& path) {
    if (m_file) chm_close(m_file);
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
    for (const auto& path : paths)
        if (IsPage(path) && path.find("/#") != 0 && path.find("/$") != 0) return path;
    return "";
}

std::string ChmFile::Title() const { return SystemEntry(kSystemTitle).value_or(""); }

}  // namespace shell
