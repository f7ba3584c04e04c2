// A small sample of the tester's storage, made on the spot, so that a transfer can be shown on a
// machine without a tester: RSITE.PAR and two sites of synthetic pile records.
#pragma once

#include <string>

namespace pw {

// Writes the sample into szFolder (which must exist): RSITE.PAR naming "DEMO1" and "DEMO2", and
// per site wvf.par, pindex.par and 1.wvf ... 5.wvf whose traces are a hammer pulse at the pile head
// with its reflection from the toe (and, on pile 3 of each site, from a neck-down half way).
// False with the reason in szError when a file cannot be written.
bool WriteSampleTesterStorage(const std::string& szFolder, std::string& szError);

} // namespace pw
