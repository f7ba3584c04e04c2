// Faults the tester emulator can inject, so that tests and demonstrations can see how the PC side
// copes with a pulled cable, line noise or a confused tester.
#pragma once

#include <string>

namespace pw {

enum class ETesterFault {
    None,
    NoHandshake,  // the tester never raises its handshake line: nothing ever gets through
    NoReply,      // commands are taken in but never answered
    BadHeader,    // the first data block of a file goes out with differing length copies
    CutCable,     // the cable is cut after a number of bytes (either direction)
    Garbage,      // every answer is noise; a folder download is an endless stream of noise texts
    EvilNames,    // announced names carry "..\", "/", drive letters and folders (still the right files)
    BadNames,     // announced names that cannot be used at all: empty, "CON", "NUL", "LPT1", controls
    HugeSize,     // files are announced with a size of 2 GB
    ZeroBlocks,   // file data comes as an endless run of zero-length blocks
    UpperNames,   // files are announced in upper case (WVF.PAR, 1.WVF), as a DOS storage names them
    RepeatedNames // the second file of a folder is announced under a name that reduces to the first's
};

struct STesterFault {
    ETesterFault eKind = ETesterFault::None;
    long nCutAfterBytes = 0; // CutCable: bytes that still cross the cable
};

// Parses "none", "no-handshake", "no-reply", "bad-header", "cut:N", "garbage", "evil-names",
// "bad-names", "huge-size", "zero-blocks", "upper-names", "repeated-names". False for anything else.
bool ParseTesterFault(const std::string& szText, STesterFault& fault);

// The accepted fault texts, for help output.
const char* TesterFaultList();

} // namespace pw
