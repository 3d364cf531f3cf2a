// The folder and file conventions of the virtual bus on which simulated instruments appear: a device
// is a `<stem>.json` identity beside a `<stem>.sock` SOCK_SEQPACKET socket, attached while the
// socket file exists.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace kv58 {

// `$XDG_RUNTIME_DIR/kv58-virtual` when XDG_RUNTIME_DIR is set and not empty, else
// `/tmp/kv58-virtual-<uid>`.
QString virtualBusDir();
// Creates the folder (mode 0700) if it does not exist yet and checks that it can be trusted: a
// folder, not a symbolic link, owned by this user. A folder of this user's that others may write to
// is made 0700 again. False, with `error` saying why, when the folder is refused or cannot be made.
// (The fallback folder lies in /tmp, where another user may have created it first.)
bool ensureVirtualBusDir(const QString& dir, QString* error = nullptr);

// Reads a bus file without following a symbolic link and without waiting: anything but a regular
// file (a FIFO, a device) is refused, and at most `maxSize` bytes are read. nullopt, with `error`
// set, on failure.
std::optional<QByteArray> readBusFile(const QString& path, qint64 maxSize, QString* error = nullptr);
// Writes a bus file as a new file beside it that then replaces it, so nothing is ever written through
// a path that exists already (a planted link included). False, with `error` set, on failure.
bool replaceBusFile(const QString& path, const QByteArray& content, QString* error = nullptr);

inline constexpr const char* kSocketSuffix = ".sock";
inline constexpr const char* kIdentitySuffix = ".json";

QString virtualSocketPath(const QString& dir, const QString& stem);
QString virtualIdentityPath(const QString& dir, const QString& stem);

// The identity file's content.
struct VirtualIdentity {
    std::uint16_t vendorId = 0x2047;
    std::uint16_t productId = 0xFFE5;
    std::uint16_t version = 0x0100;
    int inputReportLength = 64;
    QString product;
    QString serial;
    friend bool operator==(const VirtualIdentity&, const VirtualIdentity&) = default;
};

inline constexpr int kMaxVirtualReportLength = 4096;

QByteArray identityToJson(const VirtualIdentity& identity);
// nullopt when the text is not one object with the four numbers in range and the two strings.
std::optional<VirtualIdentity> identityFromJson(const QByteArray& json);

// How long connecting may wait for an instrument whose queue of unaccepted connections is full (a
// hung or stopped process). A live instrument takes a connection at once.
inline constexpr int kConnectTimeoutMs = 100;

// Connects a SOCK_SEQPACKET client to a socket file, waiting at most `timeoutMs` (0: not at all).
// Returns the descriptor, or -1 with `error` set to an errno code (ETIMEDOUT when it had to wait
// longer).
int connectSeqPacket(const QString& socketPath, int& error, int timeoutMs = kConnectTimeoutMs);

// To be asked when recv() on a SOCK_SEQPACKET connection returned 0: true when the peer has closed
// the connection, false when that was a zero-length message (which is no end of anything).
bool connectionEnded(int fd);

} // namespace kv58
