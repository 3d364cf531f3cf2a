// The instrument side of the virtual bus: puts one device on the bus under a stem, accepts host
// connections, receives output reports and sends input reports to every connected host.
// Everything runs on the thread that owns the object, driven by its event loop; nothing blocks.
#pragma once

#include "link/VirtualBus.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringView>
#include <map>

class QSocketNotifier;

namespace kv58 {

class VirtualBusDevice : public QObject {
    Q_OBJECT
public:
    explicit VirtualBusDevice(QObject* parent = nullptr);
    ~VirtualBusDevice() override;
    VirtualBusDevice(const VirtualBusDevice&) = delete;
    VirtualBusDevice& operator=(const VirtualBusDevice&) = delete;

    // Writes the identity file, then makes the socket appear already listening (bound under a
    // temporary name and linked into place), so a host never meets a socket that refuses it.
    // Refuses when a live device holds the stem; the files of a device that died without leaving
    // are removed first.
    bool attach(const QString& dir, const QString& stem, const VirtualIdentity& identity,
                QString* error = nullptr);
    // Leaves the bus: socket file, then identity file, then the connections.
    void detach();

    bool isAttached() const { return listenFd_ >= 0; }
    const QString& socketPath() const { return socketPath_; }
    const VirtualIdentity& identity() const { return identity_; }
    int connectionCount() const { return static_cast<int>(connections_.size()); }
    // Reports that missed a connection because its queue was full.
    int droppedReports() const { return dropped_; }

    // One input report to every open connection. A connection whose queue is full misses it, as a
    // hidraw handle that nobody reads loses reports; a broken connection is closed.
    void sendInputReport(const QByteArray& report);
    // The line framed as an input report of the identity's length.
    void sendLine(QStringView line);

    // A connection to this socket file is accepted, or waits because the owner's queue is full.
    static bool isLive(const QString& socketPath);

signals:
    void outputReport(int connection, const QByteArray& report);
    void connectionOpened(int connection);
    void connectionClosed(int connection);

private:
    struct Connection {
        int fd = -1;
        QSocketNotifier* notifier = nullptr;
    };

    void acceptConnections();
    void readConnection(int id);
    void closeConnection(int id);

    VirtualIdentity identity_;
    QString socketPath_;
    QString identityPath_;
    int listenFd_ = -1;
    QSocketNotifier* listenNotifier_ = nullptr;
    std::map<int, Connection> connections_;
    int nextConnection_ = 1;
    int dropped_ = 0;
};

} // namespace kv58
