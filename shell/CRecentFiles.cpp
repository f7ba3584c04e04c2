// Recent files in QSettings and their menu items.
#include "shell/CRecentFiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace pw {
namespace {
const QString kGroup = QStringLiteral("Recent File List");
}

CRecentFiles::CRecentFiles(QObject* parent) : QObject(parent) {}

QStringList CRecentFiles::Paths() const {
    QSettings settings;
    QStringList paths;
    for (int i = 1; i <= kMaxFiles; ++i) {
        const QString p = settings.value(kGroup + QStringLiteral("/File%1").arg(i)).toString();
        if (!p.isEmpty()) paths << p;
    }
    return paths;
}

void CRecentFiles::Store(const QStringList& paths) {
    QSettings settings;
    for (int i = 1; i <= kMaxFiles; ++i) {
        const QString key = kGroup + QStringLiteral("/File%1").arg(i);
        if (i <= paths.size())
            settings.setValue(key, paths[i - 1]);
        else
            settings.remove(key);
    }
    Rebuild();
}

void CRecentFiles::Add(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    QStringList paths = Paths();
    paths.removeAll(full);
    paths.prepend(full);
    while (paths.size() > kMaxFiles)
        paths.removeLast();
    Store(paths);
}

void CRecentFiles::Remove(const QString& path) {
    QStringList paths = Paths();
    paths.removeAll(path);
    Store(paths);
}

void CRecentFiles::AttachToMenu(QMenu* menu, QAction* placeholder, std::function<void(const QString&)> open) {
    m_pMenu = menu;
    m_pPlaceholder = placeholder;
    m_Open = std::move(open);
    Rebuild();
}

void CRecentFiles::Rebuild() {
    if (!m_pMenu) return;
    qDeleteAll(m_Items);
    m_Items.clear();
    const QStringList paths = Paths();
    m_pPlaceholder->setVisible(paths.isEmpty());
    for (int i = 0; i < paths.size(); ++i) {
        auto* item =
            new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(paths[i])), m_pMenu);
        connect(item, &QAction::triggered, this, [this, p = paths[i]] { m_Open(p); });
        m_pMenu->insertAction(m_pPlaceholder, item);
        m_Items << item;
    }
}

} // namespace pw
