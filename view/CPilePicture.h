// The picture of one pile for the report and the picture export: drawn offscreen by the plotting
// routines, from a copy of the record, so drawing never changes the project.
#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

#include "core/CPileRecord.h"

namespace pw {

enum class PictureLayout { Single, Amplitude, Power };

// The pile's picture in the layout; a null image when it cannot be drawn.
QImage RenderPilePicture(const CPileRecord& rec, PictureLayout layout);

// The picture as PNG bytes (empty when it cannot be drawn or encoded).
std::vector<uint8_t> PilePicturePng(const CPileRecord& rec, PictureLayout layout, int* width = nullptr,
                                    int* height = nullptr);

} // namespace pw
