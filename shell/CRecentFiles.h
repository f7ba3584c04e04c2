// The recent-file list: four paths in the settings ("Recent File List", File1..File4, newest first),
// shown in the file menu where the table puts "最近文件".
#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QAction;
class QMenu;

namespace pw {

class CRecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxFiles = 4;

    explicit CRecentFiles(QObject* parent = nullptr);
    QStringList Paths() const;
    void Add(const QString& path); // to the front; an existing entry moves, the oldest drops off
    void Remove(const QString& path);
    // Items go in place of the placeholder (the stored text "最近文件", disabled while the list is empty).
    void AttachToMenu(QMenu* menu, QAction* placeholder, std::function<void(const QString&)> open);

private:
    void Rebuild();
    void Store(const QStringList& paths);

    QMenu* m_pMenu = nullptr;
    QAction* m_pPlaceholder = nullptr;
    QList<QAction*> m_Items;
    std::function<void(const QString&)> m_Open;
};

} // namespace pw
