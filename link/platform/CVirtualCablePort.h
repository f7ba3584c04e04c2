// The PC end of the virtual cable as a port-access backend, with the cost of a real port read.
#pragma once

#include "link/platform/CPortAccess.h"
#include "link/platform/CVirtualCable.h"

#include <memory>

namespace pw {

class CVirtualCablePort final : public CPortAccess {
public:
    // Attaches the PC end of the cable; nReadCostNs is the busy time of one port read (0: free).
    explicit CVirtualCablePort(std::shared_ptr<CVirtualCable> pCable,
                               int64_t nReadCostNs = kDefaultReadCostNs);
    ~CVirtualCablePort() override;
    CVirtualCablePort(const CVirtualCablePort&) = delete;
    CVirtualCablePort& operator=(const CVirtualCablePort&) = delete;

    uint8_t Inp32(uint16_t nPort) override;
    void Out32(uint16_t nPort, uint16_t nValue) override;

    // Port operations made so far, for measuring the cost of the protocol per byte.
    uint64_t ReadCount() const { return m_nReads; }
    uint64_t WriteCount() const { return m_nWrites; }
    CVirtualCable& Cable() { return *m_pCable; }

private:
    std::shared_ptr<CVirtualCable> m_pCable;
    int64_t m_nReadCostNs;
    uint64_t m_nReads = 0;
    uint64_t m_nWrites = 0;
    uint8_t m_nData = 0;
    uint8_t m_nControl = 0;
};

} // namespace pw
