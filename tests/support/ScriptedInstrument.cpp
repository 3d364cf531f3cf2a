#include "support/ScriptedInstrument.h"

#include "core/Cp1252.h"
#include "support/VirtualBus.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace kv58::test {

namespace {

constexpr int kOutputReportSize = 64;
constexpr unsigned char kReportId = 0x3F;
constexpr int kMaxTextLength = 62;
// Larger than any report; with MSG_TRUNC recv still tells the true size of a longer message.
constexpr std::size_t kReceiveBuffer = 1024;

std::int64_t steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString commandOf(const QByteArray& report)
{
    if (report.size() < 2) {
        return {};
    }
    const qsizetype length = std::min<qsizetype>(static_cast<unsigned char>(report[1]), report.size() - 2);
    return cp1252ToUnicode(std::string_view(report.constData() + 2, static_cast<std::size_t>(length)));
}

} // namespace

ScriptedInstrument::ScriptedInstrument(QString stem, DeviceIdentity identity, Attach attach, QString busDir)
    : m_stem(std::move(stem)), m_identity(std::move(identity)), m_attach(attach),
      m_busDir(busDir.isEmpty() ? VirtualBus::folderFromEnvironment() : std::move(busDir))
{
}

ScriptedInstrument::~ScriptedInstrument()
{
    unplug();
}

QString ScriptedInstrument::socketPath() const
{
    return m_busDir + QLatin1Char('/') + m_stem + QStringLiteral(".sock");
}

QString ScriptedInstrument::jsonPath() const
{
    return m_busDir + QLatin1Char('/') + m_stem + QStringLiteral(".json");
}

QByteArray ScriptedInstrument::identityJson(const DeviceIdentity& identity)
{
    const QJsonObject object{
        {QStringLiteral("vendor_id"), identity.vendorId},
        {QStringLiteral("product_id"), identity.productId},
        {QStringLiteral("version"), identity.version},
        {QStringLiteral("input_report_length"), identity.inputReportLength},
        {QStringLiteral("product"), identity.product},
        {QStringLiteral("serial"), identity.serial},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool ScriptedInstrument::plugIn()
{
    if (isPluggedIn()) {
        ADD_FAILURE() << m_stem.toStdString() << " is plugged in already";
        return false;
    }
    if (m_stem.isEmpty() || m_stem.contains(QLatin1Char('/'))) {
        ADD_FAILURE() << "not a usable stem: '" << m_stem.toStdString() << "'";
        return false;
    }
    const QByteArray socketFile = QFile::encodeName(socketPath());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(socketFile.size()) >= sizeof(address.sun_path)) {
        ADD_FAILURE() << "socket path too long for AF_UNIX: " << socketFile.toStdString();
        return false;
    }
    std::memcpy(address.sun_path, socketFile.constData(), static_cast<std::size_t>(socketFile.size()));
    if (VirtualBus::ensureFolder(m_busDir).isEmpty()) {
        ADD_FAILURE() << "cannot create the bus folder " << m_busDir.toStdString();
        return false;
    }
    if (QFileInfo::exists(socketPath()) || QFileInfo::exists(jsonPath())) {
        ADD_FAILURE() << "leftover files of " << m_stem.toStdString() << " in " << m_busDir.toStdString();
        return false;
    }

    if (m_attach != Attach::WithoutJson) {
        QFile json(jsonPath());
        const QByteArray content = m_attach == Attach::BrokenJson
                                       ? QByteArrayLiteral("{\"vendor_id\": 8263, \"product_id\"")
                                       : identityJson(m_identity);
        if (!json.open(QIODevice::WriteOnly) || json.write(content) != content.size() || !json.flush()) {
            ADD_FAILURE() << "cannot write " << jsonPath().toStdString();
            return false;
        }
    }

    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        ADD_FAILURE() << "cannot bind " << socketFile.toStdString() << ": " << errnoText(errno).toStdString();
        if (fd >= 0) {
            ::close(fd);
        }
        QFile::remove(jsonPath());
        return false;
    }
    if (m_attach == Attach::Refusing) {
        // The file stays behind without a listener: connecting to it is refused.
        ::close(fd);
        const std::lock_guard lock(m_mutex);
        m_pluggedIn = true;
        return true;
    }
    const int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (::listen(fd, SOMAXCONN) != 0 || wakeFd < 0) {
        ADD_FAILURE() << "cannot listen on " << socketFile.toStdString() << ": "
                      << errnoText(errno).toStdString();
        ::unlink(socketFile.constData());
        QFile::remove(jsonPath());
        ::close(fd);
        if (wakeFd >= 0) {
            ::close(wakeFd);
        }
        return false;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_listenFd = fd;
        m_wakeFd = wakeFd;
        m_stopping = false;
        m_pluggedIn = true;
    }
    m_thread = std::thread(&ScriptedInstrument::run, this);
    return true;
}

void ScriptedInstrument::unplug()
{
    if (!isPluggedIn()) {
        return;
    }
    ::unlink(QFile::encodeName(socketPath()).constData());
    QFile::remove(jsonPath());
    stopThread();
    const std::lock_guard lock(m_mutex);
    while (!m_connections.empty()) {
        closeConnectionLocked(m_connections.size() - 1);
    }
    for (int* fd : {&m_listenFd, &m_wakeFd}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
    m_pluggedIn = false;
}

bool ScriptedInstrument::isPluggedIn() const
{
    const std::lock_guard lock(m_mutex);
    return m_pluggedIn;
}

void ScriptedInstrument::onCommand(const QString& command, const QStringList& replies)
{
    onCommand([command](const QString& received) { return received == command; }, replies);
}

void ScriptedInstrument::onCommand(Match match, const QStringList& replies)
{
    onCommand(std::move(match), [replies](const QString&) { return replies; });
}

void ScriptedInstrument::onCommand(Match match, Replies replies)
{
    const std::lock_guard lock(m_mutex);
    m_rules.push_back({std::move(match), std::move(replies)});
}

void ScriptedInstrument::clearRules()
{
    const std::lock_guard lock(m_mutex);
    m_rules.clear();
}

QByteArray ScriptedInstrument::inputReport(const QString& line) const
{
    const int size = std::max(m_identity.inputReportLength, 0);
    QByteArray report(size, '\0');
    if (size > 0) {
        report[0] = static_cast<char>(kReportId);
    }
    if (size > 1) {
        const std::string text = unicodeToCp1252(line);
        const std::size_t length =
            std::min({text.size(), static_cast<std::size_t>(size - 2), std::size_t{255}});
        report[1] = static_cast<char>(length);
        std::copy_n(text.begin(), length, report.begin() + 2);
    }
    return report;
}

void ScriptedInstrument::send(const QString& line)
{
    sendRaw(inputReport(line));
}

void ScriptedInstrument::sendRaw(const QByteArray& report)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_listenFd < 0) {
            return;
        }
        // A program whose connect() has returned counts as connected, accepted yet or not.
        acceptPendingLocked();
        queueToAllLocked(report);
    }
    wake();
}

QStringList ScriptedInstrument::commands() const
{
    const std::lock_guard lock(m_mutex);
    QStringList result;
    for (const OutputReport& report : m_reports) {
        result.append(report.command);
    }
    return result;
}

std::vector<OutputReport> ScriptedInstrument::reports() const
{
    const std::lock_guard lock(m_mutex);
    return m_reports;
}

void ScriptedInstrument::clearCommands()
{
    const std::lock_guard lock(m_mutex);
    m_reports.clear();
}

QStringList ScriptedInstrument::contractViolations() const
{
    const std::lock_guard lock(m_mutex);
    return m_violations;
}

int ScriptedInstrument::connectionCount() const
{
    const std::lock_guard lock(m_mutex);
    return static_cast<int>(m_connections.size());
}

int ScriptedInstrument::connectionsAccepted() const
{
    const std::lock_guard lock(m_mutex);
    return m_accepted;
}

bool ScriptedInstrument::waitForCommands(qsizetype count, int timeoutMs)
{
    return waitUntil(
        [this, count] {
            const std::lock_guard lock(m_mutex);
            return static_cast<qsizetype>(m_reports.size()) >= count;
        },
        timeoutMs);
}

bool ScriptedInstrument::waitForCommand(const QString& command, int timeoutMs)
{
    return waitUntil(
        [this, &command] {
            const std::lock_guard lock(m_mutex);
            return std::any_of(m_reports.begin(), m_reports.end(),
                               [&command](const OutputReport& report) { return report.command == command; });
        },
        timeoutMs);
}

bool ScriptedInstrument::waitForConnections(int count, int timeoutMs)
{
    return waitUntil(
        [this, count] {
            const std::lock_guard lock(m_mutex);
            return static_cast<int>(m_connections.size()) >= count;
        },
        timeoutMs);
}

void ScriptedInstrument::run()
{
    std::vector<pollfd> fds;
    for (;;) {
        {
            const std::lock_guard lock(m_mutex);
            if (m_stopping) {
                return;
            }
            fds.assign({{m_wakeFd, POLLIN, 0}, {m_listenFd, POLLIN, 0}});
            for (const Connection& connection : m_connections) {
                const short events = connection.outgoing.empty() ? POLLIN : POLLIN | POLLOUT;
                fds.push_back({connection.fd, events, 0});
            }
        }
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            const std::lock_guard lock(m_mutex);
            recordViolationLocked(QStringLiteral("instrument: poll failed: ") + errnoText(errno));
            return;
        }
        if (fds[0].revents != 0) {
            eventfd_t ignored = 0;
            ::eventfd_read(fds[0].fd, &ignored);
        }

        // Read everything first, decide the replies without the lock (rules are test code), then
        // record and reply in one step, so a command is never visible before its reply is queued.
        std::vector<OutputReport> arrived;
        std::vector<Rule> rules;
        {
            const std::lock_guard lock(m_mutex);
            if (m_stopping) {
                return;
            }
            if (fds[1].revents != 0) {
                acceptPendingLocked();
            }
            for (std::size_t i = 2; i < fds.size(); ++i) {
                if (fds[i].revents == 0) {
                    continue;
                }
                const auto it = std::find_if(m_connections.begin(), m_connections.end(),
                                             [fd = fds[i].fd](const Connection& c) { return c.fd == fd; });
                if (it == m_connections.end()) {
                    continue;
                }
                if (!receiveLocked(*it, arrived)) {
                    closeConnectionLocked(static_cast<std::size_t>(it - m_connections.begin()));
                }
            }
            for (Connection& connection : m_connections) {
                flushLocked(connection);
            }
            if (!arrived.empty()) {
                rules = m_rules;
            }
        }
        if (arrived.empty()) {
            continue;
        }
        std::vector<QStringList> replies;
        for (const OutputReport& report : arrived) {
            const auto rule = std::find_if(rules.rbegin(), rules.rend(),
                                           [&report](const Rule& r) { return r.match(report.command); });
            replies.push_back(rule == rules.rend() ? QStringList() : rule->replies(report.command));
        }
        const std::lock_guard lock(m_mutex);
        for (std::size_t i = 0; i < arrived.size(); ++i) {
            for (const QString& line : replies[i]) {
                queueToAllLocked(inputReport(line));
            }
            m_reports.push_back(std::move(arrived[i]));
        }
    }
}

void ScriptedInstrument::acceptPendingLocked()
{
    for (;;) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && errno != ECONNABORTED) {
                recordViolationLocked(QStringLiteral("instrument: accept failed: ") + errnoText(errno));
            }
            if (errno == EINTR || errno == ECONNABORTED) {
                continue;
            }
            return;
        }
        m_connections.push_back({fd, ++m_accepted, {}});
    }
}

bool ScriptedInstrument::receiveLocked(Connection& connection, std::vector<OutputReport>& arrived)
{
    char buffer[kReceiveBuffer];
    for (;;) {
        const ssize_t n = ::recv(connection.fd, buffer, sizeof(buffer), MSG_DONTWAIT | MSG_TRUNC);
        if (n == 0) {
            return false;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno == EAGAIN || errno == EWOULDBLOCK;
        }
        OutputReport report;
        report.atMs = steadyMs();
        report.connection = connection.id;
        report.bytes = QByteArray(buffer, static_cast<qsizetype>(std::min<std::size_t>(n, sizeof(buffer))));
        report.command = commandOf(report.bytes);
        const QString where = QStringLiteral("connection %1: ").arg(connection.id);
        if (n != kOutputReportSize) {
            recordViolationLocked(where + QStringLiteral("output report of %1 bytes, not 64").arg(n));
        }
        if (static_cast<unsigned char>(report.bytes[0]) != kReportId) {
            recordViolationLocked(
                where + QStringLiteral("report ID 0x%1, not 0x3F")
                            .arg(static_cast<unsigned char>(report.bytes[0]), 2, 16, QLatin1Char('0')));
        }
        if (n >= 2 && static_cast<unsigned char>(report.bytes[1]) > kMaxTextLength) {
            recordViolationLocked(
                where +
                QStringLiteral("length byte %1 above 62").arg(static_cast<unsigned char>(report.bytes[1])));
        }
        arrived.push_back(std::move(report));
    }
}

void ScriptedInstrument::queueToAllLocked(const QByteArray& report)
{
    for (Connection& connection : m_connections) {
        connection.outgoing.push_back(report);
        flushLocked(connection);
    }
}

void ScriptedInstrument::flushLocked(Connection& connection)
{
    while (!connection.outgoing.empty()) {
        const QByteArray& report = connection.outgoing.front();
        const ssize_t n = ::send(connection.fd, report.constData(), static_cast<std::size_t>(report.size()),
                                 MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return; // the thread waits for room with POLLOUT
        }
        if (n < 0) {
            // The peer has gone; the thread sees the hang-up and closes the connection.
            if (errno != EPIPE && errno != ECONNRESET) {
                recordViolationLocked(QStringLiteral("instrument: send failed: ") + errnoText(errno));
            }
            connection.outgoing.clear();
            return;
        }
        connection.outgoing.pop_front();
    }
}

void ScriptedInstrument::closeConnectionLocked(std::size_t index)
{
    ::close(m_connections[index].fd);
    m_connections.erase(m_connections.begin() + static_cast<std::ptrdiff_t>(index));
}

void ScriptedInstrument::recordViolationLocked(const QString& what)
{
    m_violations.append(what);
}

void ScriptedInstrument::wake()
{
    const std::lock_guard lock(m_mutex);
    if (m_wakeFd >= 0) {
        ::eventfd_write(m_wakeFd, 1);
    }
}

void ScriptedInstrument::stopThread()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    wake();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

} // namespace kv58::test
