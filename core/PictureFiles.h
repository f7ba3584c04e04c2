// The picture files: the uncompressed .bmp layout, the file names of the exported pictures, and which
// piles printing and the picture export take.
//
// .bmp as written here (little-endian):
//    0  2 type "BM" (19778)          | 14  4 header size 40          | 34  4 image size 0
//    2  4 file size                  | 18  4 width, pixels            | 38  4 x pixels per metre
//    6  2 reserved 0                 | 22  4 height (positive: rows   | 42  4 y pixels per metre
//    8  2 reserved 0                 |       bottom-up)               | 46  4 colours used 0
//   10  4 offset of the pixels       | 26  2 planes 1                 | 50  4 important colours 0
//        (54: no palette at 24 bits) | 28  2 bits per pixel 24        | 54    rows, B G R, each padded
//                                    | 30  4 compression 0            |       to a multiple of 4 bytes
// The resolution fields are the pixel counts: the picture is taken as one metre each way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/CPileRecord.h"

namespace pw {

inline constexpr int kBmpHeaderSize = 54;

// Bytes per row: 4 x (((bits x width - 1) / 32) + 1).
int BmpRowSize(int bitsPerPixel, int width);

// A 24-bit .bmp of a picture given as top-down rows of 32-bit 0xffRRGGBB pixels (stride bytes apart).
// Empty when the size is not positive.
std::vector<uint8_t> EncodeBmp24Xrgb(int width, int height, const uint32_t* pixels, int stride);

// A file name part made from a pile name: characters a file system refuses ('/', '\\', ':', '*', '?',
// '"', '<', '>', '|', control characters) become '_', leading dots and blanks and trailing dots
// and blanks are dropped, so the name can neither leave the folder nor be "." or "..". An empty
// result becomes "_".
std::string SafeFileNamePart(const std::string& utf8);

// "<pile name>-<number>.bmp" (or the extension given) with the pile name made safe.
std::string PictureFileName(const std::string& pileName, int number, const std::string& extension = "bmp");

// The piles printing and the picture export of several piles take, as indices in stored order: the
// ticked piles; with none ticked, the selected ones (pile numbers as the list's selection holds them).
std::vector<int> PrintedPiles(const std::vector<CPileRecord>& piles, const std::vector<int>& selectedPileNos);

} // namespace pw
