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
