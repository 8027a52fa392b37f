#include "platform/crt/codepage.h"

#include <iconv.h>

#include <cerrno>

namespace crt {
namespace {

// Converts with one iconv descriptor. Strict mode fails on the first byte sequence that does
// not convert; lenient mode writes `substitute` for it and goes on after one input unit (one
// byte for code page 936 lead/trail bytes, one whole character for UTF-8).
bool Convert(const char* to, const char* from, std::string_view in, std::string& out, bool strict,
             bool fromUtf8) {
    out.clear();
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string buffer(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = buffer.data();
        size_t dstLeft = buffer.size();
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer.data(), buffer.size() - dstLeft);
        if (r != static_cast<size_t>(-1)) {
            // iconv counts characters it replaced by its own choice as irreversible; the
            // descriptor has no //TRANSLIT, so that count stays 0 for valid input.
            continue;
        }
        if (errno == E2BIG) continue;
        // EILSEQ (invalid or unconvertible) or EINVAL (incomplete sequence at the end).
        ok = false;
        if (strict) break;
        out.push_back('?');
        size_t skip = 1;
        if (fromUtf8) {
            const unsigned char lead = static_cast<unsigned char>(*src);
            size_t len = lead < 0x80    ? 1
                         : lead >= 0xF0 ? 4
                         : lead >= 0xE0 ? 3
                         : lead >= 0xC0 ? 2
                                        : 1;
            // Skip a whole character only if its continuation bytes are really there.
            size_t i = 1;
            while (i < len && i < srcLeft && (static_cast<unsigned char>(src[i]) & 0xC0) == 0x80)
                ++i;
            skip = i;
        }
        if (skip > srcLeft) skip = srcLeft;
        src += skip;
        srcLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);  // reset the shift state
    }
    // Flush any pending state.
    {
        char* dst = buffer.data();
        size_t dstLeft = buffer.size();
        iconv(cd, nullptr, nullptr, &dst, &dstLeft);
        out.append(buffer.data(), buffer.size() - dstLeft);
    }
    iconv_close(cd);
    if (!ok && strict) out.clear();
    return ok;
}

// glibc names code page 936 "CP936"; "GBK" is the same table.
constexpr const char* kCp936 = "CP936";
constexpr const char* kUtf8 = "UTF-8";

}  // namespace

bool Cp936ToUtf8(std::string_view cp936, std::string& out) {
    return Convert(kUtf8, kCp936, cp936, out, true, false);
}

bool Utf8ToCp936(std::string_view utf8, std::string& out) {
    return Convert(kCp936, kUtf8, utf8, out, true, true);
}

std::string Cp936ToUtf8(std::string_view cp936) {
    std::string out;
    Convert(kUtf8, kCp936, cp936, out, false, false);
    return out;
}

std::string Utf8ToCp936(std::string_view utf8) {
    std::string out;
    Convert(kCp936, kUtf8, utf8, out, false, true);
    return out;
}

std::size_t Cp936Length(std::string_view utf8) { return Utf8ToCp936(utf8).size(); }

std::string TruncateToCp936Bytes(std::string_view utf8, std::size_t maxBytes) {
    std::size_t used = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const unsigned char lead = static_cast<unsigned char>(utf8[pos]);
        std::size_t len = lead < 0x80    ? 1
                          : lead >= 0xF0 ? 4
                          : lead >= 0xE0 ? 3
                          : lead >= 0xC0 ? 2
                                         : 1;
        if (pos + len > utf8.size()) len = utf8.size() - pos;
        const std::size_t bytes = Cp936Length(utf8.substr(pos, len));
        if (used + bytes > maxBytes) break;
        used += bytes;
        pos += len;
    }
    return std::string(utf8.substr(0, pos));
}

}  // namespace crt
