#include "core/Translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <clocale>
#include <cstring>
#include <libintl.h>
#include <mutex>
#include <optional>

namespace kv58 {
namespace {

constexpr const char* kDomain = "default";

struct State {
    std::mutex mutex;
    QStringList folders;
    bool foldersSet = false;
    QString language = QStringLiteral("en");
    QString file;
    // Read on every `_()`, possibly from other threads, without the mutex; everything else
    // changes on selection only.
    std::atomic<bool> catalogueInUse{false};
};

State& state()
{
    static State s;
    return s;
}

quint32 readWord(const QByteArray& data, qsizetype at, bool bigEndian)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData()) + at;
    return bigEndian ? (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3]
                     : (quint32(p[3]) << 24) | (quint32(p[2]) << 16) | (quint32(p[1]) << 8) | p[0];
}

// A compiled catalogue (.mo) in memory, with the positions of its two string tables.
struct Catalogue {
    QByteArray data;
    bool bigEndian = false;
    quint32 count = 0;
    quint32 originals = 0;
    quint32 translations = 0;

    bool fits(quint64 offset, quint64 length) const { return offset + length <= quint64(data.size()); }
    quint32 word(qsizetype at) const { return readWord(data, at, bigEndian); }
};

// The catalogue in the file at `path`, or nullopt when it is not a readable catalogue.
std::optional<Catalogue> readCatalogue(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Catalogue c;
    c.data = file.readAll();
    if (c.data.size() < 20)
        return std::nullopt;
    if (readWord(c.data, 0, false) == 0x950412deU)
        c.bigEndian = false;
    else if (readWord(c.data, 0, true) == 0x950412deU)
        c.bigEndian = true;
    else
        return std::nullopt;
    c.count = c.word(8);
    c.originals = c.word(12);
    c.translations = c.word(16);
    if (!c.fits(c.originals, quint64(c.count) * 8) || !c.fits(c.translations, quint64(c.count) * 8))
        return std::nullopt;
    return c;
}

// The translation of message id `id` (the header for the empty id), or nullopt when the catalogue
// has none or its entry points outside the file. Of a plural entry, the singular is matched and
// its first form given.
std::optional<QByteArray> lookUp(const Catalogue& c, QByteArrayView id)
{
    for (quint32 i = 0; i < c.count; ++i) {
        // In the file's size type: a table near the end of a large file must not wrap around.
        const qsizetype entry = 8 * qsizetype(i);
        const quint32 idLength = c.word(c.originals + entry);
        const quint32 idOffset = c.word(c.originals + entry + 4);
        if (idLength < quint32(id.size()) || !c.fits(idOffset, idLength))
            continue;
        const QByteArrayView original(c.data.constData() + idOffset, idLength);
        // A plural entry holds the singular, a zero byte and the plural.
        if (!original.startsWith(id) || (original.size() > id.size() && original[id.size()] != '\0'))
            continue;
        const quint32 length = c.word(c.translations + entry);
        const quint32 offset = c.word(c.translations + entry + 4);
        if (!c.fits(offset, length))
            return std::nullopt;
        QByteArray translation = c.data.mid(offset, length);
        if (const qsizetype end = translation.indexOf('\0'); end >= 0)
            translation.truncate(end);
        return translation;
    }
    return std::nullopt;
}

// The header entry (the translation of the empty message id) of a compiled catalogue, or nullopt
// when the file is not a readable catalogue or has no header.
std::optional<QByteArray> catalogueHeader(const QString& path)
{
    const std::optional<Catalogue> c = readCatalogue(path);
    return c ? lookUp(*c, QByteArrayView("")) : std::nullopt;
}

// Whether the header's Content-Type line names UTF-8 as the character set.
bool declaresUtf8(const QByteArray& header)
{
    for (const QByteArray& line : header.split('\n')) {
        if (!line.trimmed().toLower().startsWith("content-type:"))
            continue;
        const QByteArray lower = line.toLower();
        const qsizetype at = lower.indexOf("charset=");
        if (at < 0)
            return false;
        QByteArray charset = lower.mid(at + 8);
        const qsizetype end = charset.indexOf(';');
        if (end >= 0)
            charset.truncate(end);
        charset = charset.trimmed();
        return charset == "utf-8" || charset == "utf8";
    }
    return false;
}

struct Found {
    QString folder;    // the folder bound to the text domain
    QString subfolder; // the language folder inside it, as glibc is told to look for it
    QString file;
};

std::optional<Found> findCatalogue(const QStringList& folders, const QString& code)
{
    QStringList names{code};
    if (code.size() > 2)
        names << code.left(2);
    for (const QString& folder : folders) {
        for (const QString& name : names) {
            const QString file =
                folder + QStringLiteral("/") + name + QStringLiteral("/LC_MESSAGES/default.mo");
            if (!QFileInfo(file).isFile())
                continue;
            const std::optional<QByteArray> header = catalogueHeader(file);
            // A catalogue that is there but unusable is skipped like a missing one: a later folder
            // may still hold a good one.
            if (header && declaresUtf8(*header))
                return Found{folder, name, file};
        }
    }
    return std::nullopt;
}

// glibc ignores LANGUAGE while the messages locale is "C", so give it one that is not.
void enableMessageLocale()
{
#ifdef LC_MESSAGES
    const char* current = std::setlocale(LC_MESSAGES, nullptr);
    if (current == nullptr || std::strcmp(current, "C") == 0 || std::strcmp(current, "POSIX") == 0) {
        if (std::setlocale(LC_MESSAGES, "C.UTF-8") == nullptr)
            std::setlocale(LC_MESSAGES, "C.utf8");
    }
#endif
}

} // namespace

QString _(const char* english)
{
    if (english == nullptr || *english == '\0')
        return QString();
    if (!state().catalogueInUse.load(std::memory_order_acquire))
        return QString::fromUtf8(english);
    return QString::fromUtf8(dgettext(kDomain, english));
}

QString translate(const QString& english)
{
    if (english.isEmpty() || !state().catalogueInUse.load(std::memory_order_acquire))
        return english;
    const QByteArray id = english.toUtf8();
    const char* translated = dgettext(kDomain, id.constData());
    return translated == id.constData() ? english : QString::fromUtf8(translated);
}

QStringList defaultCatalogueFolders()
{
    QStringList folders;
    const auto add = [&folders](const QString& folder) {
        const QString clean = QDir::cleanPath(folder);
        if (!clean.isEmpty() && !folders.contains(clean))
            folders << clean;
    };
    if (QCoreApplication::instance() != nullptr) {
        const QString exeDir = QCoreApplication::applicationDirPath();
        add(exeDir + QStringLiteral("/locale"));
        add(exeDir + QStringLiteral("/../share/kv58/locale"));
    }
#ifdef KV58_LOCALE_INSTALL_DIR
    add(QStringLiteral(KV58_LOCALE_INSTALL_DIR));
#endif
    return folders;
}

QStringList catalogueFolders()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.foldersSet ? s.folders : defaultCatalogueFolders();
}

void setCatalogueFolders(const QStringList& folders)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.folders = folders;
    s.foldersSet = true;
}

bool selectLanguage(const QString& code)
{
    const QStringList folders = catalogueFolders();
    const std::optional<Found> found = code.isEmpty() ? std::nullopt : findCatalogue(folders, code);

    State& s = state();
    std::lock_guard lock(s.mutex);
    s.language = code;
    if (!found) {
        s.catalogueInUse.store(false, std::memory_order_release);
        s.file.clear();
        return false;
    }
    enableMessageLocale();
    bindtextdomain(kDomain, QFile::encodeName(found->folder).constData());
    bind_textdomain_codeset(kDomain, "UTF-8");
    qputenv("LANGUAGE", found->subfolder.toUtf8());
    // Setting the domain again tells glibc that the catalogues changed, so cached lookups of the
    // previous language are not reused.
    textdomain(kDomain);
    s.file = found->file;
    s.catalogueInUse.store(true, std::memory_order_release);
    return true;
}

QString language()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.language;
}

QStringList translationsEverywhere(const char* english)
{
    if (english == nullptr)
        return {};
    const QByteArray id(english);
    QStringList texts{QString::fromUtf8(id)};
    if (id.isEmpty())
        return texts; // the empty id would give the catalogues' headers
    for (const QString& folder : catalogueFolders()) {
        const QStringList languages = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& language : languages) {
            const QString file =
                folder + QStringLiteral("/") + language + QStringLiteral("/LC_MESSAGES/default.mo");
            if (!QFileInfo(file).isFile())
                continue;
            const std::optional<Catalogue> c = readCatalogue(file);
            if (!c)
                continue;
            const std::optional<QByteArray> header = lookUp(*c, QByteArrayView(""));
            if (!header || !declaresUtf8(*header))
                continue;
            const std::optional<QByteArray> translation = lookUp(*c, id);
            if (!translation || translation->isEmpty())
                continue;
            const QString text = QString::fromUtf8(*translation);
            if (!texts.contains(text))
                texts << text;
        }
    }
    return texts;
}

QString catalogueFile()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.file;
}

} // namespace kv58
