// The port the transfer dialog talks through: a parallel port device (ppdev), a virtual cable file
// whose other end is `pilewave-cli tester serve`, or the built-in tester emulator serving the
// bundled sample storage, so that the whole path can be tried without a tester.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <string>

#include "link/CTesterEmulator.h"
#include "link/platform/CPortAccess.h"

class QTemporaryDir;

namespace pw {

class CTransferPort {
public:
    static constexpr const char* kEmulator = "emulator"; // the choice text of the built-in emulator

    // Opens a choice: "emulator", "sim:PATH" or "ppdev:/dev/parportN". For the emulator an empty
    // storage in the options means the bundled sample storage (copied to a temporary folder).
    CTransferPort(const QString& choice, STesterEmulatorOptions emulator);
    ~CTransferPort();
    CTransferPort(const CTransferPort&) = delete;
    CTransferPort& operator=(const CTransferPort&) = delete;

    // Null when the port cannot be used; Error then says why and what to do, in Chinese for the
    // window (the system's own words, for a log or the command line, are in Detail).
    std::shared_ptr<CPortAccess> Port() const { return m_pPort; }
    const std::string& Error() const { return m_szError; }
    const std::string& Detail() const { return m_szDetail; }

    // The parallel port devices present (/dev/parport0 ...), for the choice list.
    static QStringList ParallelDevices();

private:
    std::unique_ptr<QTemporaryDir> m_pStorage;
    std::unique_ptr<CTesterEmulator> m_pEmulator;
    std::shared_ptr<CPortAccess> m_pPort;
    std::string m_szError;
    std::string m_szDetail;
};

} // namespace pw
