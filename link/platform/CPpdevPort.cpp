// Linux ppdev backend: claims /dev/parportN and turns register reads and writes into ppdev ioctls.
#include "link/platform/CPpdevPort.h"

#include "link/LinkTexts.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace pw {

namespace {

// The Chinese sentence that says what to do, then the system's own words.
std::string PortError(const char* szText, const std::string& szDevice, int nErrno) {
    char szLine[512];
    std::snprintf(szLine, sizeof szLine, szText, szDevice.c_str());
    return std::string(szLine) + " (" + szDevice + ": " + std::strerror(nErrno) + ")";
}

const char* TextFor(int nErrno) {
    switch (nErrno) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return LinkText::kPortMissing;
    case EACCES:
    case EPERM:
        return LinkText::kPortNotPermitted;
    case EBUSY:
        return LinkText::kPortBusy;
    default:
        return LinkText::kPortFailed;
    }
}

} // namespace

std::unique_ptr<CPpdevPort> CPpdevPort::Open(const std::string& szDevice, std::string& szError) {
    const int nFd = ::open(szDevice.c_str(), O_RDWR | O_CLOEXEC);
    if (nFd < 0) {
        const int nErrno = errno;
        szError = PortError(TextFor(nErrno), szDevice, nErrno);
        return nullptr;
    }
    // Exclusive access keeps the printer driver from toggling the lines under us; a kernel that
    // refuses it still lets us claim the port shared, which works as long as nobody prints.
    ::ioctl(nFd, PPEXCL);
    if (::ioctl(nFd, PPCLAIM) != 0) {
        const int nErrno = errno;
        szError = PortError(TextFor(nErrno), szDevice, nErrno);
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
