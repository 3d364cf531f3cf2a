// File > Open Recent: the last measurement files opened or saved, newest first, as a submenu
// whose items open them again. The list itself is kept in the settings by the window.
#pragma once

#include <QObject>
#include <QStringList>

class QMenu;

namespace kv58 {

class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxFiles = 8;

    RecentFiles(QMenu& menu, QObject* parent = nullptr);

    QStringList files() const { return files_; }
    // Replaces the list (from the settings); duplicates and entries past the limit go.
    void setFiles(const QStringList& files);
    // `path` becomes the newest entry.
    void add(const QString& path);
    void remove(const QString& path);

signals:
    void picked(const QString& path);
    void changed();

private:
    void rebuildMenu();

    QMenu& menu_;
    QStringList files_;
};

} // namespace kv58
