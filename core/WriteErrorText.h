// Why a file could not be written, in a sentence a user reads after the program's own message
// ("保存文件失败，原文件未改动！" and the like).
#pragma once

#include <string>

namespace pw {

// err: the system's error number (0: none known; the text is then empty).
std::string WriteErrorReason(int err);

} // namespace pw
