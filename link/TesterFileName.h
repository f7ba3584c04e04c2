// Names that come from the tester: its DOS-style paths split into parts, and announced file names
// reduced to a plain name that can only land inside the folder the PC chose.
#pragma once

#include <string>
#include <vector>

namespace pw {

// Splits a tester path ("C:\DAT\SITE1\", "..\x", "/a/b") at "\" and "/" into its parts, dropping
// empty ones; a leading drive ("C:") is returned separately. GBK-aware: the second byte of a
// two-byte character may be 0x5C ("\") and is not a separator.
std::vector<std::string> SplitTesterPath(const std::string& szPath, std::string* pDrive = nullptr);

// The last part of a tester path ("c:\dat\rsite.par" -> "rsite.par"); may be empty.
std::string TesterBaseName(const std::string& szPath);

// True for the DOS device names (CON, PRN, AUX, NUL, CLOCK$, COM1-9, LPT1-9), with or without an
// extension, in any letter case.
bool IsDeviceName(const std::string& szName);

// Reduces an announced name to a plain file name: folders, drive and "..", "/" or "\" are cut away
// (the last part is kept). Refused (false) when nothing usable is left: an empty name, "." or "..",
// a device name, a control character, or more than 255 bytes.
bool ReducePlainFileName(const std::string& szAnnounced, std::string& szPlain);

// True when szText is well-formed UTF-8 holding at least one character beyond ASCII. GBK texts of
// Chinese characters almost never are (their second bytes are mostly not UTF-8 continuation bytes).
bool IsNonAsciiUtf8(const std::string& szText);

// A name from the emulator's storage as the tester gives it: in GBK. A UTF-8 name is converted;
// GBK and ASCII names stay as they are.
std::string ServedFileName(const std::string& szLocal);

} // namespace pw
