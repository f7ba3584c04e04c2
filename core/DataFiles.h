// Where the programs find their data files (the report template, the sample site): the folder
// share/pilewave beside the program's bin folder, which is the same in the build tree and in an
// installed tree. PILEWAVE_DATA_DIR, when set, is looked in first.
#pragma once

#include <string>

namespace pw {

// The full path of name in the data folder; the first candidate that exists, else the installed place.
std::string FindDataFile(const std::string& name);

} // namespace pw
