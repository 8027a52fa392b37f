#include "platform/crt/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace crt {

std::string DataFileName(std::string_view name) {
    std::string path(name);
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

std::FILE* OpenDataFile(std::string_view name, const char* mode) {
    if (mode == nullptr) return nullptr;
    const std::string path = DataFileName(name);
    if (path.empty()) return nullptr;
    std::FILE* file = std::fopen(path.c_str(), mode);
    // A folder opens for reading here, but it is no data file: refuse it at once rather than
    // let the first read fail.
    struct stat info;
    if (file && fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(file);
        errno = EISDIR;
        return nullptr;
    }
    return file;
}

bool ReplaceDataFile(std::string_view tempName, std::string_view name) {
    return std::rename(DataFileName(tempName).c_str(), DataFileName(name).c_str()) == 0;
}

bool RemoveDataFile(std::string_view name) { return std::remove(DataFileName(name).c_str()) == 0; }

bool ReadTextFile(std::string_view name, std::string& text) {
    text.clear();
    TextFile file;
    if (!file.Open(name, "r")) return false;
    char buffer[4096];
    while (file.Gets(buffer, sizeof buffer) != nullptr) text += buffer;
    return file.Close();
}

bool WriteTextFile(std::string_view name, std::string_view text) {
    TextFile file;
    if (!file.Open(name, "w")) return false;
    const bool written = file.Write(text);
    return file.Close() && written;
}

bool ReplaceTextFile(std::string_view name, std::string_view text) {
    const std::string path = DataFileName(name);
    if (path.empty()) return false;
    // A table that refuses writes keeps refusing them: the rename below would not ask.
    struct stat old;
    const bool exists = stat(path.c_str(), &old) == 0;
    if (exists && (S_ISDIR(old.st_mode) || access(path.c_str(), W_OK) != 0)) return false;
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    // mkstemp creates the file private to its owner; give it the permissions of the file it
    // replaces, or those a plain fopen would.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, exists ? (old.st_mode & 07777) : (0666 & ~mask));

    std::string bytes;
    bytes.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            ok = false;
    }
    if (ok && fsync(fd) != 0) ok = false;
    if (close(fd) != 0) ok = false;
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

TextFile::~TextFile() { Close(); }

TextFile::TextFile(TextFile&& other) noexcept : m_file(other.m_file), m_failed(other.m_failed) {
    other.m_file = nullptr;
}

TextFile& TextFile::operator=(TextFile&& other) noexcept {
    if (this != &other) {
        Close();
        m_file = other.m_file;
        m_failed = other.m_failed;
        other.m_file = nullptr;
    }
    return *this;
}

bool TextFile::Open(std::string_view name, const char* mode) {
    Close();
    m_failed = false;
    if (mode == nullptr) return false;
    const char* binaryMode = nullptr;
    if (std::strcmp(mode, "r") == 0 || std::strcmp(mode, "rt") == 0)
        binaryMode = "rb";
    else if (std::strcmp(mode, "w") == 0 || std::strcmp(mode, "wt") == 0)
        binaryMode = "wb";
    else if (std::strcmp(mode, "a") == 0 || std::strcmp(mode, "at") == 0)
        binaryMode = "ab";
    else
        return false;
    m_file = OpenDataFile(name, binaryMode);
    return m_file != nullptr;
}

bool TextFile::HasError() const { return m_failed || (m_file != nullptr && std::ferror(m_file)); }

bool TextFile::Close() {
    if (m_file == nullptr) return !m_failed;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    const bool ok = closed && !m_failed;
    m_failed = false;
    return ok;
}

int TextFile::GetChar() {
    int c = std::getc(m_file);
    if (c != '\r') return c;
    const int next = std::getc(m_file);
    if (next == '\n') return '\n';
    if (next != EOF) std::ungetc(next, m_file);
    return '\r';
}

char* TextFile::Gets(char* buffer, int size) {
    if (m_file == nullptr || buffer == nullptr || size <= 0) return nullptr;
    int n = 0;
    while (n < size - 1) {
        const int c = GetChar();
        if (c == EOF) break;
        buffer[n++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    buffer[n] = '\0';
    if (n == 0 && size > 1) return nullptr;
    if (std::ferror(m_file)) return nullptr;
    return buffer;
}

bool TextFile::ReadLine(std::string& line, std::size_t maxKeep) {
    line.clear();
    if (m_file == nullptr) return false;
    bool any = false;
    for (;;) {
        const int c = GetChar();
        if (c == EOF) return any && !std::ferror(m_file);
        any = true;
        if (c == '\n') return true;
        if (line.size() < maxKeep) line.push_back(static_cast<char>(c));
    }
}

bool TextFile::Write(std::string_view text) {
    if (m_file == nullptr) return false;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t nl = text.find('\n', start);
        const std::size_t end = nl == std::string_view::npos ? text.size() : nl;
        if (end > start &&
            std::fwrite(text.data() + start, 1, end - start, m_file) != end - start) {
            m_failed = true;
            return false;
        }
        if (nl == std::string_view::npos) break;
        if (std::fwrite("\r\n", 1, 2, m_file) != 2) {
            m_failed = true;
            return false;
        }
        start = nl + 1;
    }
    return true;
}

bool TextFile::Printf(const char* format, ...) {
    if (m_file == nullptr || format == nullptr) return false;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) {
        va_end(args);
        return false;
    }
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    return Write(std::string_view(text.data(), static_cast<std::size_t>(length)));
}

}  // namespace crt
