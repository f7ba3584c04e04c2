// Command identifiers of the program's menus, toolbars and accelerators. The document computes the
// enable and check state of the commands it owns from these numbers.
#pragma once

namespace pw::cmd {

enum : int {
    kOpen = 57601,
    kSave = 57603,
    kSaveAs = 57604,
    kPrint = 57607,
    kPrintPreview = 57609,
    kSaveChecked = 32956,
    kSaveSelectedTraces = 32908,
    kMerge = 32959,
    kDeletePile = 32909,
    kProjectInfo = 32783,
    kRemoveDC = 32848,
    kInvert = 32849,
    kVariableArea = 32871,
    kIntegrate = 32851,
    kScale = 32905,
    kGain = 32850,
    kFilter = 32868,
    kPreZero = 32873,
    kPostCut = 32869,
    kSmooth = 32918,
    kRestore = 32876,
    kSetHead = 32838,
    kSetToe = 32839,
    kAmplitudeSpectrum = 32825,
    kPowerSpectrum = 32826,
    kSingleTrace = 32944,
    kThreeTraces = 32945,
    kWaveTrain = 32946,
    kManyTraces = 32798,
    kAverage = 32828,
    kToolShift = 32919,
    kToolRotate = 32937,
    kToolCode2 = 32935,
    kToolZoomIn = 32936,
    kToolZoomOut = 32931,
    kToolLocalZoom = 32942,
    kToolOwnFlag = 32933,
    // Marks at the waveform view's cursor.
    kDefectFirst = 32813, // 32813..32819: the seven defect kinds, codes 1..7
    kDefectLast = 32819,
    kDeleteDefect = 32811,
    kPreZeroAtCursor = 32841, // menu 135's "前置零", not the numeric dialog 32873
    kPostCutAtCursor = 32842, // menu 135's "后截除", not the numeric dialog 32869
};

} // namespace pw::cmd
