// The picture of one pile, for the picture export and the report: 532 x 260 pixels, the printed cell
// of the pile (trace, marks, legends and information box) or, in the spectrum layouts, the spectrum
// above and the printed cell below. Drawn offscreen from a copy of the record at the step that shows
// the whole pile in the cell's trace box, so drawing never changes the project.
#pragma once

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

#include "core/CPileRecord.h"
#include "core/CResult.h"
#include "core/PrintSettings.h"
#include "core/ViewLayout.h"
#include "view/CPagePrinter.h"

namespace pw {

enum class PictureLayout { Single, Amplitude, Power };

inline constexpr int kPictureWidth = 532;  // the export plot width 512 and 10 pixels each side
inline constexpr int kPictureHeight = 260; // 1.2 x the export plot height 200, and 10 each side

// What the picture shows beyond the record: the information box's flags and the display options.
struct CPictureOptions {
    CPrintSettings m_Settings = CPrintSettings::Defaults();
    CCellOptions m_Cell;
};

// The project's picture layout: the spectrum layouts give theirs, every trace layout the single one.
PictureLayout PictureLayoutOf(Layout viewLayout);

// The pile's picture (RGB32 in memory; the .bmp holds it at 24 bits); a null image when it cannot be drawn.
QImage RenderPilePicture(const CPileRecord& rec, PictureLayout layout, const CPictureOptions& options = {});

// The picture as PNG bytes (empty when it cannot be drawn or encoded).
std::vector<uint8_t> PilePicturePng(const CPileRecord& rec, PictureLayout layout, int* width = nullptr,
                                    int* height = nullptr, const CPictureOptions& options = {});

// Writes the picture to path: a .png when the name ends in ".png" (any case), otherwise the .bmp. The
// file is saved by core's safe write (beside path, renamed over it only when complete): Ok, or why
// not (Failed when it could not be drawn, WriteFailed) with the Chinese sentence and the English detail.
CResult WritePilePicture(const CPileRecord& rec, PictureLayout layout, const CPictureOptions& options,
                         const std::string& path);

} // namespace pw
