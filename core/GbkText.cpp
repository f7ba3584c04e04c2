// GBK <-> UTF-8 through glibc iconv, with U+FFFD for broken input and character-boundary cuts.
#include "core/GbkText.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace pw {
namespace {

bool IsLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool IsTrail(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

bool IsAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

// One conversion descriptor per direction and thread: iconv_open is far too slow to run per field.
class CIconv {
public:
    CIconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~CIconv() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;
    bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        return m_cd;
    }

private:
    iconv_t m_cd;
};

// Converts in, replacing each input position iconv refuses with `bad` and skipping `skip(in)` bytes.
template <typename Skip>
std::string Convert(CIconv& conv, std::string_view in, std::string_view bad, Skip skip) {
    std::string out;
    if (!conv.Valid()) { // no GBK support in this C library: keep ASCII, mark the rest
        for (unsigned char c : in) out += c < 0x80 ? std::string(1, static_cast<char>(c)) : std::string(bad);
        return out;
    }
    iconv_t cd = conv.Get();
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buf[256];
    while (srcLeft > 0) {
        char* dst = buf;
        std::size_t dstLeft = sizeof buf;
        const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, static_cast<std::size_t>(dst - buf));
        if (r != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ (not valid here) or EINVAL (incomplete at the end): replace and step over it.
        out += bad;
        const std::size_t n = std::min(srcLeft, skip(std::string_view(src, srcLeft)));
        src += n;
        srcLeft -= n;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

std::size_t Utf8SequenceLength(std::string_view s) {
    const auto b = static_cast<unsigned char>(s[0]);
    std::size_t n = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    std::size_t i = 1;
    while (i < n && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    return i;
}

} // namespace

std::string GbkToUtf8(std::string_view gbk) {
    if (IsAscii(gbk)) return std::string(gbk);
    thread_local CIconv conv("UTF-8", "GBK");
    return Convert(conv, gbk, "\xEF\xBF\xBD", [](std::string_view) { return std::size_t{1}; });
}

std::string Utf8ToGbk(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    thread_local CIconv conv("GBK", "UTF-8");
    return Convert(conv, utf8, "?", Utf8SequenceLength);
}

std::size_t GbkCutLength(const char* gbk, std::size_t size, std::size_t limit) {
    const auto* s = reinterpret_cast<const unsigned char*>(gbk);
    std::size_t i = 0;
    while (i < size && i < limit) {
        if (IsLead(s[i])) {
            if (i + 1 >= size || !IsTrail(s[i + 1])) {
                // A lead byte without its trail: a single broken byte inside the text, but a
                // half character when it is the last byte of the data.
                if (i + 1 >= size) break;
                ++i;
                continue;
            }
            if (i + 2 > limit) break;
            i += 2;
        } else {
            ++i;
        }
    }
    return i;
}

std::string_view FieldText(const char* field, std::size_t width) {
    return std::string_view(field, strnlen(field, width));
}

void StoreFieldText(char* field, std::size_t width, std::string_view gbk) {
    if (width == 0) return;
    const std::size_t n = GbkCutLength(gbk.data(), gbk.size(), width - 1);
    std::memset(field, 0, width);
    std::memcpy(field, gbk.data(), n);
}

void ReadFieldText(char* dst, std::size_t dstWidth, const char* src, std::size_t srcWidth) {
    std::size_t n = strnlen(src, srcWidth);
    if (n == srcWidth || n > dstWidth - 1) {
        // No terminator inside the file field, or more text than memory holds: cut it, and never
        // inside a double-byte character.
        n = GbkCutLength(src, n, dstWidth - 1);
    }
    StoreFieldText(dst, dstWidth, std::string_view(src, n));
}

int TextColumns(std::string_view utf8) {
    int used = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const int bytes = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        unsigned cp = bytes == 1 ? c : c & (0xFFu >> (bytes + 1));
        for (int k = 1; k < bytes && i + static_cast<std::size_t>(k) < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]) & 0x3Fu);
        const bool wide = (cp >= 0x2E80 && cp <= 0xA4CF) || (cp >= 0xAC00 && cp <= 0xD7A3) ||
                          (cp >= 0xFF00 && cp <= 0xFF60);
        used += wide ? 2 : 1;
        i += static_cast<std::size_t>(bytes);
    }
    return used;
}

} // namespace pw
