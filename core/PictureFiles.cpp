// .bmp encoding, picture file names and the printed piles (see PictureFiles.h).
#include "core/PictureFiles.h"

#include <algorithm>
#include <cstring>

namespace pw {
namespace {

void Put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

} // namespace

int BmpRowSize(int bitsPerPixel, int width) {
    return 4 * (((bitsPerPixel * width - 1) / 32) + 1);
}

namespace {

// Headers filled, pixel rows zero (their padding stays so).
std::vector<uint8_t> BmpFrame(int width, int height) {
    const int row = BmpRowSize(24, width);
    const std::size_t total = kBmpHeaderSize + static_cast<std::size_t>(row) * height;
    std::vector<uint8_t> out(total, 0);
    uint8_t* h = out.data();
    Put16(h + 0, 19778);
    Put32(h + 2, static_cast<uint32_t>(total));
    Put32(h + 10, kBmpHeaderSize);
    Put32(h + 14, 40);
    Put32(h + 18, static_cast<uint32_t>(width));
    Put32(h + 22, static_cast<uint32_t>(height));
    Put16(h + 26, 1);
    Put16(h + 28, 24);
    // A physical size of 1000 mm: pixels per metre equal the pixel counts.
    Put32(h + 38, static_cast<uint32_t>(width));
    Put32(h + 42, static_cast<uint32_t>(height));
    return out;
}

} // namespace

std::vector<uint8_t> EncodeBmp24Xrgb(int width, int height, const uint32_t* pixels, int stride) {
    if (width <= 0 || height <= 0 || !pixels) return {};
    std::vector<uint8_t> out = BmpFrame(width, height);
    const int row = BmpRowSize(24, width);
    const auto* base = reinterpret_cast<const uint8_t*>(pixels);
    for (int y = 0; y < height; ++y) {
        const auto* src =
            reinterpret_cast<const uint32_t*>(base + static_cast<std::size_t>(height - 1 - y) * stride);
        uint8_t* dst = out.data() + kBmpHeaderSize + static_cast<std::size_t>(y) * row;
        for (int x = 0; x < width; ++x) {
            dst[3 * x + 0] = static_cast<uint8_t>(src[x]);
            dst[3 * x + 1] = static_cast<uint8_t>(src[x] >> 8);
            dst[3 * x + 2] = static_cast<uint8_t>(src[x] >> 16);
        }
    }
    return out;
}

std::string SafeFileNamePart(const std::string& utf8) {
    std::string s;
    s.reserve(utf8.size());
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || std::strchr("/\\:*?\"<>|", ch))
            s += '_';
        else
            s += ch;
    }
    const auto edge = [](char c) { return c == '.' || c == ' '; };
    std::size_t b = 0, e = s.size();
    while (b < e && edge(s[b]))
        ++b;
    while (e > b && edge(s[e - 1]))
        --e;
    s = s.substr(b, e - b);
    return s.empty() ? "_" : s;
}

std::string PictureFileName(const std::string& pileName, int number, const std::string& extension) {
    return SafeFileNamePart(pileName) + "-" + std::to_string(number) + "." + extension;
}

std::vector<int> PrintedPiles(const std::vector<CPileRecord>& piles,
                              const std::vector<int>& selectedPileNos) {
    std::vector<int> out;
    for (std::size_t i = 0; i < piles.size(); ++i)
        if (piles[i].m_bChecked) out.push_back(static_cast<int>(i));
    if (!out.empty()) return out;
    for (std::size_t i = 0; i < piles.size(); ++i)
        if (std::find(selectedPileNos.begin(), selectedPileNos.end(), piles[i].m_nPileNo) !=
            selectedPileNos.end())
            out.push_back(static_cast<int>(i));
    return out;
}

} // namespace pw
