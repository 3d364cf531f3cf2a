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
// Creates the folder (mode 0700) if it does not exist yet. False, with `error` set, on failure.
bool ensureVirtualBusDir(const QString& dir, QString* error = nullptr);

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

// Connects a SOCK_SEQPACKET client to a socket file. Returns the descriptor, or -1 with `error` set
// to an errno code.
int connectSeqPacket(const QString& socketPath, int& error);

} // namespace kv58
