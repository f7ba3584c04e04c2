// Linux ppdev backend: claims /dev/parportN and turns register reads and writes into ppdev ioctls.
#include "link/platform/CPpdevPort.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace pw {

std::unique_ptr<CPpdevPort> CPpdevPort::Open(const std::string& szDevice, std::string& szError) {
    const int nFd = ::open(szDevice.c_str(), O_RDWR | O_CLOEXEC);
    if (nFd < 0) {
        szError = szDevice + ": " + std::strerror(errno);
        return nullptr;
    }
    // Exclusive access keeps the printer driver from toggling the lines under us; a kernel that
    // refuses it still lets us claim the port shared, which works as long as nobody prints.
    ::ioctl(nFd, PPEXCL);
    if (::ioctl(nFd, PPCLAIM) != 0) {
        szError = szDevice + ": cannot claim the port: " + std::strerror(errno);
        ::close(nFd);
        return nullptr;
    }
    return std::unique_ptr<CPpdevPort>(new CPpdevPort(nFd));
}

CPpdevPort::~CPpdevPort() {
    ::ioctl(m_nFd, PPRELEASE);
    ::close(m_nFd);
}

uint8_t CPpdevPort::Inp32(uint16_t nPort) {
    unsigned char nValue = 0xFF;
    unsigned long nRequest = 0;
    switch (nPort) {
    case kDataPort:
        nRequest = PPRDATA;
        break;
    case kStatusPort:
        nRequest = PPRSTATUS;
        break;
    case kControlPort:
        nRequest = PPRCONTROL;
        break;
    default:
        return 0xFF;
    }
    if (::ioctl(m_nFd, nRequest, &nValue) != 0) return 0xFF;
    return nValue;
}

void CPpdevPort::Out32(uint16_t nPort, uint16_t nValue) {
    unsigned char nByte = static_cast<unsigned char>(nValue & 0xFF);
    if (nPort == kDataPort) {
        ::ioctl(m_nFd, PPWDATA, &nByte);
    } else if (nPort == kControlPort) {
        ::ioctl(m_nFd, PPWCONTROL, &nByte);
    }
}

} // namespace pw
