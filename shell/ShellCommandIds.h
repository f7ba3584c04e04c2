// Command identifiers the shell owns (frame, application, later dialogs and the view's marker
// commands); the document's own commands are in core/CommandIds.h.
#pragma once

namespace pw::cmd {

enum : int {
    kNew = 57600,
    kRecentFirst = 57616, // 57616..57619: the four recent files
    kExit = 57665,
    kAbout = 57664,
    kPrintSetup = 32846,
    kToolbar = 59392,
    kStatusBar = 59393,
    kWordReport = 32830,
    kExcelTable = 32960,
    kCalculator = 32955,
    kWebSite = 32962,
    kSaveTraceImage = 32829,
    kTransfer = 32831,
    kUndo = 57643,
    kRedo = 57644,
    kSiteSpeed = 32975, // our own: the site's mean wave speed
    // Our own: the current pile's integrity class (every record of its pile number): back to the
    // defect rule, or decided Ⅰ..Ⅳ.
    kClassRule = 32976,
    kClassI = 32977,
    kClassII = 32978,
    kClassIII = 32979,
    kClassIV = 32980,
    kDataChecks = 32981, // our own: the data checked against the standard before a report
    // Estimate bar controls; they also name the main toolbar's last six slots.
    kScopeLabel = 32858,
    kScopeBox = 32854,
    kLengthLabel = 32855,
    kLengthEdit = 32859,
    kSpeedLabel = 32860,
    kSpeedEdit = 32861,
};

} // namespace pw::cmd
