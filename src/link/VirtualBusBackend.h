// The host side of the virtual bus: lists the simulated instruments in the bus folder, reads their
// identity files, connects to their sockets, and watches the folder for sockets that come and go.
#pragma once

#include "link/HidBackend.h"
#include "link/VirtualBus.h"

#include <QHash>

class QSocketNotifier;

namespace kv58 {

class VirtualBusBackend : public HidBackend {
    Q_OBJECT
public:
    explicit VirtualBusBackend(QString dir = virtualBusDir(), QObject* parent = nullptr);
    ~VirtualBusBackend() override;

    const QString& dir() const { return dir_; }
    // The folder is being watched (it could be created and an inotify watch set on it).
    bool isWatching() const { return watch_ >= 0; }
    // Why the folder is refused (another user's, a symbolic link, ...); empty while it is usable.
    const QString& folderError() const { return folderError_; }

    // One interface per `<stem>.sock` socket file, by stem. The instance is the stem and the socket
    // file's inode number, so a device that left and came back under the same stem is a new one;
    // because file systems hand a freed inode number out again at once, the instance also carries
    // the file's modification time and the number of removals of the stem seen so far. A socket that
    // refuses connections is listed as unavailable. Nothing is listed while the folder is refused.
    std::vector<HidInterface> enumerate() override;
    HidIdentity identify(const HidInterface& interface) override;
    std::unique_ptr<HidHandle> open(const QString& path, int& error) override;

private:
    bool checkFolder();
    void startWatching();
    void readEvents();
    bool drainEvents();

    QString dir_;
    QString folderError_;
    int inotifyFd_ = -1;
    int watch_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QHash<QString, quint64> removals_;
};

} // namespace kv58
