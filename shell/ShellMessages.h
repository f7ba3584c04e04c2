// Texts the shell itself shows: captions, questions and parse messages. Trailing blanks and
// full-width punctuation are part of the texts.
#pragma once

namespace pw::msg {

inline constexpr const char* kFrameTitle = "反射波基桩动测仪数据处理软件";
inline constexpr const char* kAppTitle = "反射波法桩基完整性检测分析仪"; // message-box caption, settings name
inline constexpr const char* kSettingsKey = "Local AppWizard-Generated Applications";
inline constexpr const char* kFileFilter = "数据文件 (*.wvf)";
inline constexpr const char* kCheckedFilter = "测桩单件处理报告文件 (*.wvf)";
inline constexpr const char* kOpenFailed = "打开文档失败。";
inline constexpr const char* kSaveChanges = "将改动保存到 %1？";
inline constexpr const char* kConfirmDelete = "您确定删除这根桩吗?";
inline constexpr const char* kEnterNumber = "请键入一个数。";
inline constexpr const char* kEnterInteger = "请键入一个整数。";
inline constexpr const char* kEnterData = "请输入数据";
inline constexpr const char* kPreZeroPrompt = "请输入前置零点数";
inline constexpr const char* kPostCutPrompt = "请输入后截除点数";
inline constexpr const char* kSmoothPrompt = "请输入平滑点数";
inline constexpr const char* kRecentEmpty = "最近文件";
inline constexpr const char* kDeleteFileItem = "删除文件";
inline constexpr const char* kAboutTitle = "关于分析软件";
inline constexpr const char* kVersion = "版本号 V%1"; // the program's own version
inline constexpr const char* kMergeTitle = "wvf文件合并";

// Dialogs: titles and the data exchange's limit texts (%1, %2 filled in; the curly quotes belong to
// them). The field checks are rules of the data: their texts are core's.
inline constexpr const char* kProjectInfoTitle = "工程信息";
inline constexpr const char* kReportInfoTitle = "工程信息";
inline constexpr const char* kGainTitle = "波形放大";
inline constexpr const char* kFilterTitle = "低通、高通滤波";
inline constexpr const char* kPrintSetupTitle = "打印设置";

// The report and the table (our own texts, in the style of the ones above).
inline constexpr const char* kReportFileName = "WVF报告文档.docx";
inline constexpr const char* kTableFileName = "WVF报表.xlsx";
inline constexpr const char* kWordFilter = "Word 文档 (*.docx)";
inline constexpr const char* kExcelFilter = "Excel 工作簿 (*.xlsx)";
inline constexpr const char* kReportProgress = "正在生成报告……";
inline constexpr const char* kCancel = "取消";
inline constexpr const char* kReportFailed = "生成报告失败!\n%1";
inline constexpr const char* kTableFailed = "生成报表失败!\n%1";
inline constexpr const char* kNoProgramToOpen = "文件已保存在%1，但没有找到能打开它的程序。";

inline constexpr const char* kApplySiteSpeed = "将平均波速%1m/s应用到全部%2根桩？";
inline constexpr const char* kSiteSpeedKept = "以下桩按平均波速换算的桩长超出0.5～200米，保持原值：%1";

// The transfer dialog "数据传输".
inline constexpr const char* kTransferTitle = "数据传输";
inline constexpr const char* kTesterGroup = "动测仪";
inline constexpr const char* kFolderListLabel = "选择范围";
inline constexpr const char* kTransferListLabel = "传输文件";
inline constexpr const char* kDestinationButton = "存放目录";
inline constexpr const char* kStartTransfer = "开始传输";
inline constexpr const char* kCancelTransfer = "取消传输";
inline constexpr const char* kAddSites = "添加";
inline constexpr const char* kRemoveSites = "移除";
inline constexpr const char* kPortLabel = "连接端口：";
inline constexpr const char* kPortEmulator = "内置测桩仪模拟器（示例数据）";
inline constexpr const char* kPortParallel = "并口 %1";
inline constexpr const char* kPortCableFile = "虚拟电缆文件 %1";
inline constexpr const char* kPortChooseCable = "虚拟电缆文件...";
inline constexpr const char* kPortReady = "端口已打开：%1";
inline constexpr const char* kChooseCableTitle = "选择虚拟电缆文件";
inline constexpr const char* kChooseFolderTitle = "选择存放目录";
inline constexpr const char* kNotice = "提示";
inline constexpr const char* kConnectFailed = "连接失败，请检查连接线后重试！";
inline constexpr const char* kSiteListOpenFailed = "打开文件失败!";
inline constexpr const char* kNothingToAdd = "您还没选择要添加的文件,请选择......";
inline constexpr const char* kNothingToRemove = "您还没选择要取消下载的文件,请选择......";
inline constexpr const char* kNothingToTransfer = "请选择所要传输的文件!";
inline constexpr const char* kDisconnected = "断开连接!\r\n";
inline constexpr const char* kDisconnectFailed = "断开失败!";
inline constexpr const char* kCableUnusable = "无法使用虚拟电缆文件 %1：文件不存在又无法创建，或者它不是虚拟电缆文件。";
inline constexpr const char* kEmulatorUnusable = "无法启动内置测桩仪模拟器。";
inline constexpr const char* kNoPortChosen = "没有选择连接端口。";
inline constexpr const char* kStopping = "正在停止传输，当前文件传完后结束……";
// Printing and the pictures.
inline constexpr const char* kPictureFolderTitle = "选择波形保存路径：";
inline constexpr const char* kNoFolder = "不能得到所选的文件夹！";
inline constexpr const char* kPictureFilter = "BMP Files(*.bmp);;PNG Files(*.png);;All Files(*.*)";
// Our own texts, in the style of the ones above.
inline constexpr const char* kPrintFailed = "打印失败，无法开始打印作业！";
inline constexpr const char* kPrintProgress = "正在打印……";
inline constexpr const char* kPictureProgress = "正在保存波形……";
// The view's commands at the cursor, sent where they cannot act (our own texts, in the status bar).
inline constexpr const char* kMarkerNeedsPile = "没有当前桩：请先在左边的桩列表中选择一根桩。";
inline constexpr const char* kMarkerNeedsTraces =
    "桩头、桩底、缺陷和截除位置只能在单道或三道波形上设置，请先切换到单道波形或三道波形。";
inline constexpr const char* kReplacePictures = "所选文件夹中已有%1个同名的波形文件，是否替换？";
// A picture that could not be saved names its file and the reason; a batch writes every other pile
// and then lists the ones that failed, one "file：reason" line each.
inline constexpr const char* kPictureNotSaved = "波形图没有保存：%1\n%2";
inline constexpr const char* kPicturesNotSaved = "下列%1个波形图没有保存：\n%2";
inline constexpr const char* kPictureFailureLine = "%1：%2";

// Undo and redo: the menu items carry the name of the step ("撤销 添加缺陷").
inline constexpr const char* kUndoVerb = "撤销";
inline constexpr const char* kRedoVerb = "重做";
inline constexpr const char* kStepAddDefect = "添加缺陷";
inline constexpr const char* kStepSpectrumMark = "频谱标记";
inline constexpr const char* kStepMoveMarker = "移动标记";
inline constexpr const char* kStepTick = "勾选";
inline constexpr const char* kStepClass = "桩身完整性类别";
inline constexpr const char* kStepLength = "修改桩长";
inline constexpr const char* kStepSpeed = "修改波速";
inline constexpr const char* kStepScope = "应用到%1";

} // namespace pw::msg
