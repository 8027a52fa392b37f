// Files opened by data-file name, in text or binary mode.
//
// Data-file names keep the backslash of their folder ("img\101.jpg"); opening maps every
// backslash to '/', relative to the current directory. In text mode a written "\n" is stored as
// CR LF and a CR LF read back is "\n"; a CR not followed by LF is read as it is.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace crt {

// "img\101.jpg" -> "img/101.jpg".
std::string DataFileName(std::string_view name);

// fopen of a data-file name in binary mode; mode as fopen's ("rb", "wb", ...). A folder of
// that name does not open.
std::FILE* OpenDataFile(std::string_view name, const char* mode);

// Whole files in text mode. False when the file cannot be opened, read or written completely.
bool ReadTextFile(std::string_view name, std::string& text);
bool WriteTextFile(std::string_view name, std::string_view text);

// Replaces `name` by `tempName` in one step (rename), so that readers see the old or the new
// file, never a half-written one.
bool ReplaceDataFile(std::string_view tempName, std::string_view name);
bool RemoveDataFile(std::string_view name);

// Writes the text in text mode to a new file beside `name` and renames it over `name` once it
// is completely on disk. On any failure the temporary file is removed and `name` keeps its old
// content. A file that refuses writes (or a folder of that name) is left alone and the call
// fails. The new file keeps the old one's permissions, or has the usual ones for new files.
bool ReplaceTextFile(std::string_view name, std::string_view text);

// A text-mode file, in the manner of fopen(name, "r"/"w"/"a") on the original platform.
class TextFile {
  public:
    TextFile() = default;
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    TextFile(TextFile&& other) noexcept;
    TextFile& operator=(TextFile&& other) noexcept;

    // mode "r", "w" or "a". Closes a file that was open.
    bool Open(std::string_view name, const char* mode);
    bool IsOpen() const { return m_file != nullptr; }
    // True when a read or write failed since opening (not the mere end of the file); a folder
    // opened for reading fails at its first read.
    bool HasError() const;
    // False when a write failed since opening, or the final flush failed.
    bool Close();

    // As fgets: reads up to size-1 bytes, through the first "\n" (stored as "\n" for CR LF),
    // then a terminating 0. nullptr at the end of the file with nothing read, or on error.
    char* Gets(char* buffer, int size);
    // One line without its line end; false at the end of the file with nothing read. The whole
    // line is consumed, but only its first `maxKeep` bytes are kept.
    bool ReadLine(std::string& line, std::size_t maxKeep = std::string::npos);

    // Writes the text with each "\n" stored as CR LF. False on failure.
    bool Write(std::string_view text);
    // printf-style, through Write.
    bool Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

  private:
    int GetChar();

    std::FILE* m_file = nullptr;
    bool m_failed = false;
};

}  // namespace crt
