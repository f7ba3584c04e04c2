// Opening a port-access backend from its port text.
#include "link/platform/CPortAccess.h"

#include "link/platform/CPpdevPort.h"
#include "link/platform/CVirtualCablePort.h"

namespace pw {

std::unique_ptr<CPortAccess> OpenPortAccess(const std::string& szPort, std::string& szError,
                                            int64_t nReadCostNs) {
    if (szPort.rfind("sim:", 0) == 0) {
        const std::string szPath = szPort.substr(4);
        if (szPath.empty()) {
            szError = "no cable file given after \"sim:\"";
            return nullptr;
        }
        std::shared_ptr<CVirtualCable> pCable = CVirtualCable::OpenFile(szPath, szError);
        if (!pCable) return nullptr;
        return std::make_unique<CVirtualCablePort>(std::move(pCable), nReadCostNs);
    }
    if (szPort.rfind("ppdev:", 0) == 0) {
        const std::string szDevice = szPort.substr(6);
        if (szDevice.empty()) {
            szError = "no device given after \"ppdev:\"";
            return nullptr;
        }
        return CPpdevPort::Open(szDevice, szError);
    }
    szError = szPort.empty() ? "no port chosen"
                             : "unknown port \"" + szPort + "\" (use sim:PATH or ppdev:/dev/parportN)";
    return nullptr;
}

} // namespace pw
