// CString: the framework's string class. Text is UTF-8 in memory; lengths and positions
// count bytes, as the multi-byte build of the framework counts code units.
#pragma once

#include <cstdarg>
#include <string>

typedef const char* LPCTSTR;
typedef const char* LPCSTR;
typedef char* LPTSTR;
typedef char TCHAR;
#ifndef _T
#define _T(x) x
#endif

class CString {
  public:
    CString() = default;
    CString(const char* s) : s_(s ? s : "") {}
    CString(const char* s, int length) : s_(s ? std::string(s, static_cast<size_t>(length)) : "") {}
    CString(const std::string& s) : s_(s) {}
    CString(char c, int repeat = 1) : s_(static_cast<size_t>(repeat > 0 ? repeat : 0), c) {}

    // Length in bytes.
    int GetLength() const { return static_cast<int>(s_.size()); }
    bool IsEmpty() const { return s_.empty(); }
    void Empty() { s_.clear(); }
    char GetAt(int i) const { return s_[static_cast<size_t>(i)]; }
    void SetAt(int i, char c) { s_[static_cast<size_t>(i)] = c; }
    char operator[](int i) const { return GetAt(i); }

    operator const char*() const { return s_.c_str(); }
    const char* GetString() const { return s_.c_str(); }
    const std::string& str() const { return s_; }

    CString& operator=(const char* s) {
        s_ = s ? s : "";
        return *this;
    }
    CString& operator=(const std::string& s) {
        s_ = s;
        return *this;
    }
    CString& operator+=(const CString& s) {
        s_ += s.s_;
        return *this;
    }
    CString& operator+=(const char* s) {
        if (s) s_ += s;
        return *this;
    }
    CString& operator+=(char c) {
        s_ += c;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.s_ + b.s_); }
    friend CString operator+(const CString& a, const char* b) {
        return CString(a.s_ + (b ? b : ""));
    }
    friend CString operator+(const char* a, const CString& b) {
        return CString(std::string(a ? a : "") + b.s_);
    }
    friend CString operator+(const CString& a, char b) { return CString(a.s_ + b); }

    friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
    friend bool operator==(const CString& a, const char* b) { return a.s_ == (b ? b : ""); }
    friend bool operator==(const char* a, const CString& b) { return b == a; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator!=(const char* a, const CString& b) { return !(b == a); }
    friend bool operator<(const CString& a, const CString& b) { return a.s_ < b.s_; }

    int Compare(const char* s) const;        // <0, 0, >0 by bytes
    int CompareNoCase(const char* s) const;  // ASCII letters folded

    // printf-style formatting into this string (any length).
    void Format(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void FormatV(const char* format, va_list args);
    void AppendFormat(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    // Sub-strings by byte position; out-of-range arguments are clamped.
    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    // Byte position of the first match at or after `start`, -1 when none.
    int Find(const char* sub, int start = 0) const;
    int Find(char c, int start = 0) const;
    int ReverseFind(char c) const;
    int Replace(const char* from, const char* to);  // returns the number of replacements
    int Replace(char from, char to);
    int Remove(char c);
    int Insert(int index, const char* s);
    int Delete(int index, int count = 1);

    // White space is ' ', '\t', '\r', '\n', '\v', '\f'.
    CString& TrimRight();
    CString& TrimLeft();
    CString& Trim();
    CString& TrimRight(char c);
    CString& TrimLeft(char c);
    CString& MakeUpper();  // ASCII letters only
    CString& MakeLower();

    // A writable buffer of at least `minLength` bytes (plus the terminator); ReleaseBuffer
    // takes the text up to the first NUL (or `newLength` bytes when >= 0).
    char* GetBuffer(int minLength = 0);
    void ReleaseBuffer(int newLength = -1);

    // The string of this id from the program's string table; false (and empty) when absent.
    bool LoadString(unsigned id);

  private:
    std::string s_;
};
