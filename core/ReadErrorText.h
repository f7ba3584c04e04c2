// The sentence a user reads for a failed read: Chinese, in the style of the program's other messages.
#pragma once

#include <string>

#include "core/ProjectFile.h"

namespace pw {

// "" when the read went well. fileName is shown as given (UTF-8).
std::string ReadErrorText(const CReadReport& report, const std::string& fileName);

} // namespace pw
