// CString: byte-oriented operations on UTF-8 text.
#include "platform/afx/cstring.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/afx/templates.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace

int CString::Compare(const char* s) const { return s_.compare(s ? s : ""); }

int CString::CompareNoCase(const char* s) const {
    const char* a = s_.c_str();
    const char* b = s ? s : "";
    for (;; ++a, ++b) {
        int ca = std::tolower(static_cast<unsigned char>(*a));
        int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb || ca == 0) return ca - cb;
    }
}

void CString::FormatV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n < 0) {
        s_.clear();
        return;
    }
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), format, args);
    s_.assign(buf.data(), static_cast<size_t>(n));
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const char* format, ...) {
    CString tail;
    va_list args;
    va_start(args, format);
    tail.FormatV(format, args);
    va_end(args);
    s_ += tail.s_;
}

CString CString::Left(int count) const {
    return CString(s_.substr(0, static_cast<size_t>(Clamp(count, 0, GetLength()))));
}

CString CString::Right(int count) const {
    int n = Clamp(count, 0, GetLength());
    return CString(s_.substr(s_.size() - static_cast<size_t>(n)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
    first = Clamp(first, 0, GetLength());
    count = Clamp(count, 0, GetLength() - first);
    return CString(s_.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

int CString::Find(const char* sub, int start) const {
    if (!sub || start < 0 || start > GetLength()) return -1;
    size_t p = s_.find(sub, static_cast<size_t>(start));
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::Find(char c, int start) const {
    if (start < 0 || start > GetLength()) return -1;
    size_t p = s_.find(c, static_cast<size_t>(start));
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::ReverseFind(char c) const {
    size_t p = s_.rfind(c);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::Replace(const char* from, const char* to) {
    if (!from || !*from) return 0;
    const std::string f(from), t(to ? to : "");
    int count = 0;
    size_t pos = 0;
    while ((pos = s_.find(f, pos)) != std::string::npos) {
        s_.replace(pos, f.size(), t);
        pos += t.size();
        ++count;
    }
    return count;
}

int CString::Replace(char from, char to) {
    int count = 0;
    for (char& c : s_)
        if (c == from) {
            c = to;
            ++count;
        }
    return count;
}

int CString::Remove(char c) {
    size_t before = s_.size();
    std::string out;
    for (char x : s_)
        if (x != c) out += x;
    s_ = out;
    return static_cast<int>(before - s_.size());
}

int CString::Insert(int index, const char* s) {
    index = Clamp(index, 0, GetLength());
    s_.insert(static_cast<size_t>(index), s ? s : "");
    return GetLength();
}

int CString::Delete(int index, int count) {
    if (index >= 0 && index < GetLength() && count > 0)
        s_.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
}

CString& CString::TrimRight() {
    while (!s_.empty() && IsSpace(s_.back())) s_.pop_back();
    return *this;
}

CString& CString::TrimLeft() {
    size_t i = 0;
    while (i < s_.size() && IsSpace(s_[i])) ++i;
    s_.erase(0, i);
    return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

CString& CString::TrimRight(char c) {
    while (!s_.empty() && s_.back() == c) s_.pop_back();
    return *this;
}

CString& CString::TrimLeft(char c) {
    size_t i = 0;
    while (i < s_.size() && s_[i] == c) ++i;
    s_.erase(0, i);
    return *this;
}

CString& CString::MakeUpper() {
    for (char& c : s_)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return *this;
}

CString& CString::MakeLower() {
    for (char& c : s_)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return *this;
}

char* CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) s_.resize(static_cast<size_t>(minLength));
    return &s_[0];
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) {
        s_.resize(std::strlen(s_.c_str()));
    } else {
        s_.resize(static_cast<size_t>(newLength));
    }
}

bool CString::LoadString(unsigned id) {
    std::string text;
    if (!afx::FindString(id, &text)) {
        s_.clear();
        return false;
    }
    s_ = text;
    return true;
}
