// Port access: the two calls the link drives the parallel port with (Inp32 / Out32), behind one
// interface, and the factory that opens a backend from a port text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace pw {

// Register addresses of the PC's first parallel port. Every backend is addressed through these fixed
// numbers, so the link above never knows which backend it drives.
inline constexpr uint16_t kDataPort = 0x378;    // written by the PC: nibble (bits 0-3), handshake (bit 4)
inline constexpr uint16_t kStatusPort = 0x379;  // read by the PC: nibble (bits 3-6), handshake (bit 7)
inline constexpr uint16_t kControlPort = 0x37A; // only ever written with 0 (line reset)

// Default cost of one status read on the virtual cable, in nanoseconds: about what an ISA-speed port
// read costs on real hardware, so that the link's 64,000-poll waits last the same wall time.
inline constexpr int64_t kDefaultReadCostNs = 1000;

class CPortAccess {
public:
    virtual ~CPortAccess() = default;
    // The byte present at a port address. Unknown addresses read 0xFF (an undriven bus).
    virtual uint8_t Inp32(uint16_t nPort) = 0;
    // Places the low byte of nValue at a port address. Writes to read-only or unknown addresses are
    // dropped, as the hardware does.
    virtual void Out32(uint16_t nPort, uint16_t nValue) = 0;
};

// Opens a backend from a port text:
//   "sim:PATH"            the PC end of the virtual cable in the file PATH (created if missing;
//                         under /dev/shm it is POSIX shared memory)
//   "ppdev:/dev/parportN" a real parallel port through the Linux ppdev driver
// Returns null with the reason in szError when the port cannot be used; the link then refuses every
// operation with that reason. nReadCostNs applies to the virtual cable only.
std::unique_ptr<CPortAccess> OpenPortAccess(const std::string& szPort, std::string& szError,
                                            int64_t nReadCostNs = kDefaultReadCostNs);

} // namespace pw
