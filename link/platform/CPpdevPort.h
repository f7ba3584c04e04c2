// Linux ppdev backend of the port access: a real parallel port reached through /dev/parportN.
#pragma once

#include "link/platform/CPortAccess.h"

#include <memory>
#include <string>

namespace pw {

// Maps the fixed register addresses onto the ppdev calls: data 0x378 -> PPWDATA / PPRDATA,
// status 0x379 -> PPRSTATUS, control 0x37A -> PPWCONTROL / PPRCONTROL. Register values pass through
// unchanged (ppdev's PC driver does not undo the hardware inversion of BUSY, and neither do we: the
// link works on register values).
class CPpdevPort final : public CPortAccess {
public:
    // Opens and claims the port; null with the reason in szError on failure.
    static std::unique_ptr<CPpdevPort> Open(const std::string& szDevice, std::string& szError);
    ~CPpdevPort() override;
    CPpdevPort(const CPpdevPort&) = delete;
    CPpdevPort& operator=(const CPpdevPort&) = delete;

    uint8_t Inp32(uint16_t nPort) override;
    void Out32(uint16_t nPort, uint16_t nValue) override;

private:
    explicit CPpdevPort(int nFd) : m_nFd(nFd) {}
    int m_nFd;
};

} // namespace pw
