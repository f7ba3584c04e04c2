// Every text the link layer puts on the wire or into the link's status text, side by side.
// The status texts are the system's own and must stay exactly as written (the full-width "！" and the
// blank before the number in kReceiveFailed are part of them).
#pragma once

namespace pw::LinkText {

// Status texts of the byte link.
inline constexpr const char* kSendFailed = "数据传输失败%d！";
inline constexpr const char* kReceiveFailed = "数据接收失败 %d！";

// Status texts of the command client.
inline constexpr const char* kBadResponse = "Bad response from server";
inline constexpr const char* kAlive = "Server is alive and well";
inline constexpr const char* kDirectoryNow = "Directory on server is now %s";
inline constexpr const char* kReceived = "Received: %s";
inline constexpr const char* kCannotWrite = "CANNOT WRITE THE TARGET NAME";
inline constexpr const char* kReceiveFileFailed = "接收文件失败！";
inline constexpr const char* kNoFiles = "当前文件夹中无任何文件！";

// Status texts of this implementation's safety checks.
inline constexpr const char* kNoPort = "Parallel port not available: %s";
inline constexpr const char* kTooLong = "Text too long for the transfer buffer";
inline constexpr const char* kRefusedName = "Refused file name from server: %s";
inline constexpr const char* kRefusedSize = "Refused file size from server: %s";
inline constexpr const char* kNoAnswer = "No answer from server";
inline constexpr const char* kUnexpectedReplies = "Too many unexpected replies from server";
inline constexpr const char* kTooManyFiles = "Too many files announced by server";
inline constexpr const char* kRepeatedName = "Repeated file name from server, dropped: %s";
inline constexpr const char* kCancelled = "Transfer cancelled";

// Texts of the transfer for the user (UTF-8 here; the site names in them are shown as UTF-8).
inline constexpr const char* kFetchFailed = "获取目录下所有文件失败！";
inline constexpr const char* kTransferDone = "WVF文件传输结束!";
inline constexpr const char* kNotTesterData = "所传输的文件不是测桩仪数据文件！";
inline constexpr const char* kConvertOpenError = "转换文件打开错误!";
inline constexpr const char* kSitesNotComplete = "以下工地没有完整传输：";
inline constexpr const char* kSiteComplete = "%s：%d 根桩，已存为 %s";
inline constexpr const char* kSiteIncomplete = "%s：%d 根桩只收到 %d 根，已存为 %s";
inline constexpr const char* kSiteUnfinished = "%s：传输没有正常结束，收到的 %d 根桩已存为 %s";
inline constexpr const char* kSiteFailed = "%s：%s";
inline constexpr const char* kSiteCancelled = "%s：传输已取消";
// A complete site never replaces a file: its own name holding other data, it takes the next free one;
// holding exactly this conversion, nothing is written.
inline constexpr const char* kSiteSavedBeside = "%s：%d 根桩，已存为 %s（%s 已存在，没有覆盖）";
inline constexpr const char* kSiteUnchanged = "%s：%d 根桩，与已有的 %s 相同，未改变";
// Files of a site folder the conversion did not take, kept in "<site>.extra/" beside the target.
inline constexpr const char* kSitesNoted = "请注意：";
inline constexpr const char* kShortRecordKept = "%s：%s 只有 %llu 字节，不是完整的桩记录，已保留为 %s";
inline constexpr const char* kExtraFilesKept = "%s：wvf.par 所列记录以外的文件已保留在 %s：%s";
inline constexpr const char* kExtraFileLost = "%s：%s 无法保留（%s）";
inline constexpr const char* kListSeparator = "、";
inline constexpr const char* kBadSiteName = "工地名称不能用作文件名";
inline constexpr const char* kNoDestination = "无法建立存放目录 %s（%s）";
inline constexpr const char* kNoWorkFolder = "无法在存放目录中写入文件（%s）";
inline constexpr const char* kRefusedSite = "Refused site name: %s\r\n";
// Log text of the conversion for a record file shorter than a record (name, size, record size).
inline constexpr const char* kShortRecordLog = "\r\nShort record file %s: %llu of %llu bytes\r\n";

// Why a parallel port device cannot be used, and what to do about it (%s: the device path).
inline constexpr const char* kPortMissing =
    "找不到并口设备 %s。这台电脑可能没有并口，或者没有加载 ppdev 驱动（sudo modprobe ppdev）。";
inline constexpr const char* kPortNotPermitted =
    "没有权限使用并口设备 %s。请把当前用户加入 lp 组（sudo usermod -aG lp 用户名），重新登录后再试。";
inline constexpr const char* kPortBusy = "并口设备 %s 正被其他程序占用（例如打印服务），请关闭后再试。";
inline constexpr const char* kPortFailed = "无法使用并口设备 %s。";

// Words on the wire. Replies are recognised by a case-insensitive comparison of their first letters.
inline constexpr const char* kWireHi = "HI";
inline constexpr const char* kWireQuit = "quit";
inline constexpr const char* kWireDir = "DIR %s";
inline constexpr const char* kWireCd = "CD %s";
inline constexpr const char* kWirePwd = "PWD";
inline constexpr const char* kWireDownFile = "DOWNF %s";
inline constexpr const char* kWireDownDir = "DOWND %s";
inline constexpr const char* kWireGetDir = "GETD %s";
inline constexpr const char* kWireSend = "SEND";
inline constexpr const char* kWireEnd = "END";
inline constexpr const char* kWireBegin = "BEGIN%ld %s";
inline constexpr const char* kWireCannotOpen = "%s CANNOT OPEN";
inline constexpr const char* kWireOk = "OK";

} // namespace pw::LinkText
