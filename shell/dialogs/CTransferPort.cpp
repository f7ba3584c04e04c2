// Opening the transfer dialog's port, and the built-in emulator on its in-memory cable.
#include "shell/dialogs/CTransferPort.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "link/platform/CVirtualCable.h"
#include "link/platform/CVirtualCablePort.h"
#include "shell/ShellMessages.h"

namespace pw {

namespace {

// The bundled sample storage lives in the program's resources; the emulator serves real files.
bool CopyResourceTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        QDir().mkpath(QFileInfo(target).path());
        if (!QFile::copy(source, target)) return false;
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    }
    return true;
}

} // namespace

CTransferPort::CTransferPort(const QString& choice, STesterEmulatorOptions emulator) {
    if (choice != QLatin1String(kEmulator)) {
        m_pPort = OpenPortAccess(choice.toStdString(), m_szDetail);
        if (m_pPort) return;
        if (choice.startsWith(QLatin1String("ppdev:"))) {
            // "<what to do> (<device>: <the system's words>)": the window shows what to do.
            const size_t nDetail = m_szDetail.rfind(" (");
            m_szError = nDetail != std::string::npos && m_szDetail.back() == ')'
                            ? m_szDetail.substr(0, nDetail)
                            : m_szDetail;
        } else if (choice.startsWith(QLatin1String("sim:"))) {
            m_szError = QString::fromUtf8(msg::kCableUnusable).arg(choice.mid(4)).toStdString();
        } else {
            m_szError = msg::kNoPortChosen;
        }
        return;
    }
    m_szError = msg::kEmulatorUnusable;
    if (emulator.szStorage.empty()) {
        m_pStorage = std::make_unique<QTemporaryDir>();
        if (!m_pStorage->isValid() ||
            !CopyResourceTree(QStringLiteral(":/tester-storage"), m_pStorage->path())) {
            m_szDetail = "cannot copy the sample tester storage into a temporary folder";
            return;
        }
        emulator.szStorage = m_pStorage->path().toStdString();
    }
    std::shared_ptr<CVirtualCable> pCable = CVirtualCable::CreateInMemory();
    if (!pCable) {
        m_szDetail = "cannot make the virtual cable";
        return;
    }
    m_szError.clear();
    m_pEmulator = std::make_unique<CTesterEmulator>(pCable, std::move(emulator));
    m_pEmulator->Start();
    m_pPort = std::make_shared<CVirtualCablePort>(pCable);
}

CTransferPort::~CTransferPort() {
    m_pPort.reset(); // the PC end first, then the tester stops and its storage goes
    m_pEmulator.reset();
}

QStringList CTransferPort::ParallelDevices() {
    QStringList devices;
    for (const QString& name :
         QDir(QStringLiteral("/dev")).entryList({QStringLiteral("parport*")}, QDir::System))
        devices << QStringLiteral("/dev/") + name;
    devices.sort();
    return devices;
}

} // namespace pw
