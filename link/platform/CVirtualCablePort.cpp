// The PC end of the virtual cable: register addresses onto the cable, and the cost of a read.
#include "link/platform/CVirtualCablePort.h"

#include <chrono>

namespace pw {

CVirtualCablePort::CVirtualCablePort(std::shared_ptr<CVirtualCable> pCable, int64_t nReadCostNs)
    : m_pCable(std::move(pCable)), m_nReadCostNs(nReadCostNs < 0 ? 0 : nReadCostNs) {
    m_pCable->Attach(ECableEnd::Pc);
}

CVirtualCablePort::~CVirtualCablePort() {
    m_pCable->Detach(ECableEnd::Pc);
}

uint8_t CVirtualCablePort::Inp32(uint16_t nPort) {
    ++m_nReads;
    if (m_nReadCostNs > 0) {
        // Busy, not asleep: a port read on the bus stalls the processor, it does not yield it, and a
        // sleep would last far longer than a microsecond.
        const auto tEnd = std::chrono::steady_clock::now() + std::chrono::nanoseconds(m_nReadCostNs);
        while (std::chrono::steady_clock::now() < tEnd) {
        }
    }
    switch (nPort) {
    case kStatusPort:
        return m_pCable->PcReadStatus();
    case kDataPort:
        return m_nData; // the PC's own output latch
    case kControlPort:
        return m_nControl;
    default:
        return 0xFF;
    }
}

void CVirtualCablePort::Out32(uint16_t nPort, uint16_t nValue) {
    ++m_nWrites;
    const auto nByte = static_cast<uint8_t>(nValue & 0xFF);
    if (nPort == kDataPort) {
        m_nData = nByte;
        m_pCable->PcWriteData(nByte);
    } else if (nPort == kControlPort) {
        m_nControl = nByte;
        m_pCable->PcWriteControl(nByte);
    }
}

} // namespace pw
