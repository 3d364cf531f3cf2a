#include "app/files/RecentFiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace kv58 {

RecentFiles::RecentFiles(QMenu& menu, QObject* parent) : QObject(parent), menu_(menu)
{
    rebuildMenu();
}

void RecentFiles::setFiles(const QStringList& files)
{
    QStringList cleaned;
    for (const QString& file : files) {
        if (!file.isEmpty() && !cleaned.contains(file) && cleaned.size() < kMaxFiles)
            cleaned << file;
    }
    if (cleaned == files_)
        return;
    files_ = cleaned;
    rebuildMenu();
    emit changed();
}

void RecentFiles::add(const QString& path)
{
    QStringList files = files_;
    files.removeAll(path);
    files.prepend(path);
    setFiles(files);
}

void RecentFiles::remove(const QString& path)
{
    QStringList files = files_;
    files.removeAll(path);
    setFiles(files);
}

void RecentFiles::rebuildMenu()
{
    menu_.clear();
    menu_.setEnabled(!files_.isEmpty());
    for (int i = 0; i < files_.size(); ++i) {
        const QString path = files_.at(i);
        // "&1 name.csv": a number to pick it by keyboard, the full path as tool tip and status text.
        QString name = QFileInfo(path).fileName();
        name.replace(u'&', QStringLiteral("&&"));
        QAction* item = menu_.addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        item->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        item->setToolTip(QDir::toNativeSeparators(path));
        item->setStatusTip(QDir::toNativeSeparators(path));
        connect(item, &QAction::triggered, this, [this, path] { emit picked(path); });
    }
}

} // namespace kv58
