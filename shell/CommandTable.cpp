// The command table of menu 128, the accelerator-only commands and the toolbar layouts.
#include "shell/CommandTable.h"

#include <string>

#include "core/CommandIds.h"
#include "shell/ShellCommandIds.h"

namespace pw {
namespace {

using R = CommandRoute;

// A menu item shows the key that really sends its command, or none: Shift+E adds the enlarged-base
// defect (32819), so the Excel item shows no key; Shift+B saves the current trace (32829), so
// "保存选泽波形" shows none; the defect deletion is Alt+D (Ctrl+Alt+D is DC removal).
const CommandEntry kCommands[] = {
    // menu 128
    {cmd::kUndo, "撤销(&U)\tCtrl+Z", {"Ctrl+Z", "Alt+Backspace"}, R::Frame, nullptr},
    {cmd::kRedo, "重做(&R)\tCtrl+Y", {"Ctrl+Y", "Ctrl+Shift+Z"}, R::Frame, nullptr},
    {cmd::kOpen, "打开(&O)...\tCtrl+O", {"Ctrl+O"}, R::Document, nullptr},
    {cmd::kSave, "保存(&S)\tCtrl+S", {"Ctrl+S"}, R::Document, nullptr},
    {cmd::kSaveAs, "另存为(&A)...\tAlt+S", {"Alt+S"}, R::Document, nullptr},
    {cmd::kSaveChecked, "保存选择文件", {}, R::Document, nullptr},
    {cmd::kSaveSelectedTraces, "保存选泽波形", {}, R::Frame, nullptr},
    {cmd::kPrint, "打印(&P)...\tCtrl+P", {"Ctrl+P"}, R::Frame, nullptr},
    {cmd::kPrintPreview, "打印预览(&V)\tAlt+P", {"Alt+P"}, R::Frame, nullptr},
    {cmd::kPrintSetup, "打印设置(&R)...\tShift+P", {"Shift+P"}, R::Frame, nullptr},
    {cmd::kRecentFirst, "最近文件", {}, R::Frame, nullptr},
    {cmd::kExit, "退出(&X)\tCtrl+E", {"Ctrl+E"}, R::Frame, nullptr},
    {cmd::kProjectInfo, "工程信息(&I)...\tCtrl+I", {"Ctrl+I"}, R::Document, nullptr},
    {cmd::kVariableArea, "变面积\tCtrl+A", {"Ctrl+A"}, R::Document, nullptr},
    {cmd::kRemoveDC, "去直流\tCtrl+Alt+D", {"Ctrl+Alt+D"}, R::Document, nullptr},
    {cmd::kInvert, "波形反向\tCtrl+R", {"Ctrl+R"}, R::Document, nullptr},
    {cmd::kIntegrate, "积分处理\tAlt+I", {"Alt+I"}, R::Document, nullptr},
    {cmd::kScale, "刻度\tCtrl+Alt+S", {"Ctrl+Alt+S"}, R::Document, nullptr},
    {cmd::kFilter, "滤波\tCtrl+F", {"Ctrl+F"}, R::Document, nullptr},
    {cmd::kPostCut, "后截除\tCtrl+Alt+T", {"Ctrl+Alt+T"}, R::Document, nullptr},
    {cmd::kPreZero, "前置零\tCtrl+Alt+B", {"Ctrl+Alt+B"}, R::Document, nullptr},
    {cmd::kGain, "波形放大\tCtrl+M", {"Ctrl+M"}, R::Document, nullptr},
    {cmd::kSmooth, "波形平滑\tAlt+F", {"Alt+F"}, R::Document, nullptr},
    {cmd::kAverage, "波形平均\tAlt+A", {"Alt+A"}, R::Document, nullptr},
    {cmd::kRestore, "恢复参数\tAlt+R", {"Alt+R"}, R::Document, nullptr},
    {cmd::kDeletePile, "删除波形\tCtrl+D", {"Ctrl+D"}, R::Document, nullptr},
    {cmd::kToolRotate, "旋转(&R)", {}, R::Document, nullptr},
    {cmd::kToolShift, "平移(&M)", {}, R::Document, nullptr},
    {cmd::kToolZoomIn, "动态放大(&A)", {}, R::Document, nullptr},
    {cmd::kToolZoomOut, "动态缩小(&I)", {}, R::Document, nullptr},
    {cmd::kToolLocalZoom, "局部放大(&P)", {}, R::Document, nullptr},
    {cmd::kSingleTrace, "单道波形(&P)", {}, R::Document, nullptr},
    {cmd::kThreeTraces, "三道波形(&R)", {}, R::Document, nullptr},
    {cmd::kWaveTrain, "波列(&H)", {}, R::Document, nullptr},
    {cmd::kAmplitudeSpectrum, "幅值谱(&A)", {"Ctrl+Alt+A"}, R::Document, nullptr},
    {cmd::kPowerSpectrum, "功率谱(&F)", {"Ctrl+Alt+P"}, R::Document, nullptr},
    {cmd::kToolbar, "工具栏(&T)", {}, R::Frame, nullptr},
    {cmd::kStatusBar, "状态栏(&S)", {}, R::Frame, nullptr},
    {32813, "扩径(&K)\tShift+K", {"Shift+K"}, R::Frame, nullptr},
    {32814, "缩径(&S)\tShift+S", {"Shift+S"}, R::Frame, nullptr},
    {32815, "断桩(&D)\tShift+D", {"Shift+D"}, R::Frame, nullptr},
    {32816, "裂纹(&W)\tShift+W", {"Shift+W"}, R::Frame, nullptr},
    {32817, "夹泥(&J)\tShift+J", {"Shift+J"}, R::Frame, nullptr},
    {32818, "离析(&L)\tShift+L", {"Shift+L"}, R::Frame, nullptr},
    {32819, "扩底(&E)\tShift+E", {"Shift+E"}, R::Frame, nullptr},
    {cmd::kDeleteDefect, "删除缺陷\tAlt+D", {"Alt+D"}, R::Frame, nullptr},
    {cmd::kWordReport, "生成word报告(&P)...\tShift+R", {"Shift+R"}, R::Frame, nullptr},
    {cmd::kExcelTable, "生成excel报表(&E)...", {}, R::Frame, nullptr},
    {cmd::kSiteSpeed, "场地平均波速...", {}, R::Frame, nullptr},
    // The current pile's integrity class: items of the context menu and the pile list only (their
    // texts are there), not of the menu bar.
    {cmd::kClassRule, nullptr, {}, R::Frame, nullptr},
    {cmd::kClassI, nullptr, {}, R::Frame, nullptr},
    {cmd::kClassII, nullptr, {}, R::Frame, nullptr},
    {cmd::kClassIII, nullptr, {}, R::Frame, nullptr},
    {cmd::kClassIV, nullptr, {}, R::Frame, nullptr},
    {cmd::kDataChecks, "数据检查...", {}, R::Frame, nullptr},
    {cmd::kCalculator, "计算器...", {}, R::Frame, nullptr},
    {cmd::kMerge, "文件合并", {}, R::Document, nullptr},
    {cmd::kAbout, "关于(&A)...", {}, R::Frame, nullptr},
    {cmd::kWebSite, "访问公司网站", {}, R::Frame, nullptr},
    // accelerators and other menus only
    {cmd::kNew, nullptr, {"Ctrl+N"}, R::Frame, nullptr},
    {cmd::kSaveTraceImage, nullptr, {"Alt+B", "Shift+B"}, R::Frame, nullptr},
    // The stored menus have no item for the transfer; the file menu gets one so users can find it.
    {cmd::kTransfer, "将检测仪上的数据传输到PC机...\tShift+T", {"Shift+T"}, R::Frame, nullptr},
    {cmd::kSetHead, nullptr, {"Ctrl+T"}, R::Document, nullptr},
    {cmd::kSetToe, nullptr, {"Ctrl+B"}, R::Document, nullptr},
    {cmd::kPreZeroAtCursor, nullptr, {}, R::Frame, nullptr},
    {cmd::kPostCutAtCursor, nullptr, {}, R::Frame, nullptr},
    {32951, nullptr, {"Ctrl+Alt+R"}, R::Inert, nullptr},
    {57634, nullptr, {"Ctrl+C", "Ctrl+Ins"}, R::Inert, nullptr},
    {57635, nullptr, {"Shift+Del", "Ctrl+X"}, R::Inert, nullptr},
    {57637, nullptr, {"Ctrl+V", "Shift+Ins"}, R::Inert, nullptr},
    {57669, nullptr, {"Shift+F1"}, R::Inert, nullptr},
    {57670, nullptr, {"F1"}, R::Inert, nullptr},
    {57680, nullptr, {"F6"}, R::Inert, nullptr},
    {57681, nullptr, {"Shift+F6"}, R::Inert, nullptr},
};

// Top-level titles avoid the letters of the Alt accelerators (S, P, I, F, A, R, B, D): a mnemonic on the
// same key would make both ambiguous and neither would fire.
const std::vector<MenuEntry> kMenu = {
    {"文件(&W)",
     {cmd::kOpen, cmd::kSave, cmd::kSaveAs, cmd::kSaveChecked, cmd::kSaveSelectedTraces, kSeparator,
      cmd::kTransfer, kSeparator, cmd::kPrint, cmd::kPrintPreview, cmd::kPrintSetup, kSeparator, kRecentSlot, kSeparator, cmd::kExit}},
    {"编辑(&E)",
     {cmd::kUndo, cmd::kRedo, kSeparator, cmd::kProjectInfo, kSeparator, cmd::kVariableArea, cmd::kRemoveDC, cmd::kInvert, cmd::kIntegrate,
      cmd::kScale, kSeparator, cmd::kFilter, cmd::kPostCut, cmd::kPreZero, cmd::kGain, cmd::kSmooth,
      cmd::kAverage, cmd::kRestore, kSeparator, cmd::kDeletePile}},
    {"操作(&O)",
     {cmd::kToolRotate, cmd::kToolShift, cmd::kToolZoomIn, cmd::kToolZoomOut, cmd::kToolLocalZoom}},
    {"显示(&V)",
     {cmd::kSingleTrace, cmd::kThreeTraces, cmd::kWaveTrain, kSeparator, cmd::kAmplitudeSpectrum,
      cmd::kPowerSpectrum, kSeparator, cmd::kToolbar, cmd::kStatusBar}},
    {"分析(&L)",
     {32813, 32814, 32815, 32816, 32817, 32818, 32819, kSeparator, cmd::kDeleteDefect, kSeparator, cmd::kSiteSpeed,
      cmd::kDataChecks}},
    {"报告(&G)", {cmd::kWordReport, cmd::kExcelTable}},
    {"工具(&T)", {cmd::kCalculator, cmd::kMerge}},
    {"帮助(&H)", {cmd::kAbout, cmd::kWebSite}},
};

const int kMainButtons[] = {cmd::kOpen,       cmd::kSave,       kSeparator,  cmd::kUndo, cmd::kRedo, kSeparator, cmd::kSaveSelectedTraces,
                            cmd::kWordReport, cmd::kExcelTable, kSeparator,  cmd::kProjectInfo,
                            cmd::kDeletePile, kSeparator,       cmd::kPrint, cmd::kPrintPreview,
                            cmd::kPrintSetup, kSeparator};

const int kEditButtons[] = {cmd::kVariableArea,
                            cmd::kRemoveDC,
                            cmd::kInvert,
                            cmd::kIntegrate,
                            cmd::kScale,
                            cmd::kGain,
                            cmd::kFilter,
                            cmd::kPreZero,
                            cmd::kPostCut,
                            cmd::kSmooth,
                            cmd::kAverage,
                            cmd::kRestore,
                            kSeparator,
                            cmd::kSingleTrace,
                            cmd::kThreeTraces,
                            cmd::kWaveTrain,
                            cmd::kAmplitudeSpectrum,
                            cmd::kPowerSpectrum,
                            kSeparator,
                            cmd::kToolRotate,
                            cmd::kToolShift,
                            cmd::kToolZoomIn,
                            cmd::kToolZoomOut,
                            cmd::kToolLocalZoom};

} // namespace

std::span<const CommandEntry> CommandTable() {
    return kCommands;
}

const CommandEntry* FindCommand(int id) {
    for (const auto& c : kCommands)
        if (c.nId == id) return &c;
    return nullptr;
}

const std::vector<MenuEntry>& MainMenu() {
    return kMenu;
}
std::span<const int> MainToolbarButtons() {
    return kMainButtons;
}
std::span<const int> EditToolbarButtons() {
    return kEditButtons;
}

std::string_view CommandPrompt(const CommandEntry& desc, std::string& storage) {
    storage = desc.szText ? desc.szText : "";
    if (const auto tab = storage.find('\t'); tab != std::string::npos) storage.erase(tab);
    if (const auto amp = storage.find("(&"); amp != std::string::npos) storage.erase(amp, 4);
    while (!storage.empty() && storage.back() == '.')
        storage.pop_back();
    return storage;
}

} // namespace pw
