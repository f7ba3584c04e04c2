// GBK texts: the fixed-width, NUL-terminated GBK fields of the stored records, and the conversion to
// and from UTF-8 that happens at the edges (CLI, JSON, window). Stored bytes are never re-encoded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pw {

// UTF-8 for a GBK byte string. A byte sequence that is not GBK becomes U+FFFD; this never fails.
std::string GbkToUtf8(std::string_view gbk);

// GBK for a UTF-8 string. A character GBK cannot hold (or broken UTF-8) becomes '?'.
std::string Utf8ToGbk(std::string_view utf8);

// The longest prefix of gbk[0..size) that is at most limit bytes long and ends on a character
// boundary: a double-byte character is never split, and a lead byte whose trail byte is missing
// (or lies beyond the limit) is left out.
std::size_t GbkCutLength(const char* gbk, std::size_t size, std::size_t limit);

// The text held in a fixed field of width bytes: the bytes before the first NUL.
std::string_view FieldText(const char* field, std::size_t width);

// Stores gbk into a fixed field of width bytes: at most width - 1 bytes, cut at a character
// boundary, NUL-terminated, the rest of the field zeroed.
void StoreFieldText(char* field, std::size_t width, std::string_view gbk);

// Reads a field of srcWidth bytes as it lies in a file into a field of dstWidth bytes in memory:
// the text ends at the first NUL or where dstWidth - 1 bytes are reached (cut at a character
// boundary; a file field written without a terminator is handled the same way).
void ReadFieldText(char* dst, std::size_t dstWidth, const char* src, std::size_t srcWidth);

// Columns a UTF-8 text takes in a fixed-pitch cell (a terminal, a spreadsheet column): two for a
// CJK character or a full-width form, one for anything else.
int TextColumns(std::string_view utf8);

template <std::size_t N> std::string FieldUtf8(const char (&field)[N]) {
    return GbkToUtf8(FieldText(field, N));
}
template <std::size_t N> void SetFieldUtf8(char (&field)[N], std::string_view utf8) {
    StoreFieldText(field, N, Utf8ToGbk(utf8));
}

} // namespace pw
