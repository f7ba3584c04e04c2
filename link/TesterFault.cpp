// Names of the tester emulator's faults.
#include "link/TesterFault.h"

#include <cstdlib>

namespace pw {

bool ParseTesterFault(const std::string& szText, STesterFault& fault) {
    struct SName {
        const char* szName;
        ETesterFault eKind;
    };
    static const SName names[] = {{"none", ETesterFault::None},
                                  {"no-handshake", ETesterFault::NoHandshake},
                                  {"no-reply", ETesterFault::NoReply},
                                  {"bad-header", ETesterFault::BadHeader},
                                  {"garbage", ETesterFault::Garbage},
                                  {"evil-names", ETesterFault::EvilNames},
                                  {"bad-names", ETesterFault::BadNames},
                                  {"huge-size", ETesterFault::HugeSize},
                                  {"zero-blocks", ETesterFault::ZeroBlocks},
                                  {"upper-names", ETesterFault::UpperNames},
                                  {"repeated-names", ETesterFault::RepeatedNames}};
    fault = STesterFault{};
    for (const SName& name : names) {
        if (szText == name.szName) {
            fault.eKind = name.eKind;
            return true;
        }
    }
    if (szText.rfind("cut:", 0) == 0 && szText.size() > 4) {
        char* pEnd = nullptr;
        const long nBytes = std::strtol(szText.c_str() + 4, &pEnd, 10);
        if (*pEnd != '\0' || nBytes < 0) return false;
        fault.eKind = ETesterFault::CutCable;
        fault.nCutAfterBytes = nBytes;
        return true;
    }
    return false;
}

const char* TesterFaultList() {
    return "none, no-handshake, no-reply, bad-header, cut:N, garbage, evil-names, bad-names, huge-size, "
           "zero-blocks, upper-names, repeated-names";
}

} // namespace pw
