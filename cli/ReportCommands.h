// pilewave-cli report, print and picture: the verbs of the drawing program (pilewave-cli-draw).
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "core/CPileRecord.h"
#include "report/WordReport.h"

namespace pw::cli {

// report: the inspection report (its pictures are drawn by MakePictureSource).
void AddReportCommands(CLI::App& app);

// The pictures of the report: each pile drawn offscreen as the picture export draws it, in the
// given layout ("single", "amplitude", "power").
// Drawing offscreen needs a QGuiApplication on the offscreen platform: made once, on first use.
void EnsureGuiApplication();

// print and picture: the printed pages as a PDF and the pictures of piles (only with the Qt parts).
void AddPrintCommands(CLI::App& app);

// The source may be called from several threads at once (see report::CParallelPictures).
report::CParallelPictures MakePictureSource(const std::vector<CPileRecord>& piles, const std::string& layout);

} // namespace pw::cli
