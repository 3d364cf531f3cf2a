// Language selection and `_()`: catalogue lookup, fallbacks, and catalogues that must not be used.
#include "core/Translation.h"

#include "support/TestCatalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using kv58::_;
using kv58::test::Charset;
using kv58::test::Message;

namespace {

const QList<Message> kGerman = {{QStringLiteral("Open"), QStringLiteral("Öffnen")},
                                {QStringLiteral("&File"), QStringLiteral("&Datei")}};

class TranslationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        kv58::setCatalogueFolders({dir_.path()});
    }
    void TearDown() override
    {
        kv58::setCatalogueFolders(kv58::defaultCatalogueFolders());
        kv58::selectLanguage(QStringLiteral("en"));
    }
    QString path(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
};

TEST_F(TranslationTest, GermanCatalogueTranslatesAndEnglishRestoresTheSourceTexts)
{
    ASSERT_EQ(kv58::test::writeCatalogue(dir_.path(), QStringLiteral("de"), kGerman), QString());

    EXPECT_TRUE(kv58::selectLanguage(QStringLiteral("de")));
    EXPECT_EQ(kv58::language(), QStringLiteral("de"));
    EXPECT_EQ(_("Open"), QStringLiteral("Öffnen"));
    EXPECT_EQ(kv58::translate(QStringLiteral("&File")), QStringLiteral("&Datei"));
    EXPECT_EQ(_("Not in the catalogue"), QStringLiteral("Not in the catalogue"));
    // The empty message id would give the catalogue's header.
    EXPECT_EQ(_(""), QString());
    EXPECT_EQ(kv58::translate(QString()), QString());

    EXPECT_FALSE(kv58::selectLanguage(QStringLiteral("en")));
    EXPECT_EQ(kv58::language(), QStringLiteral("en"));
    EXPECT_EQ(_("Open"), QStringLiteral("Open"));
    EXPECT_EQ(kv58::catalogueFile(), QString());
}

TEST_F(TranslationTest, CodeWithRegionUsesTheTwoLetterCatalogueWhenItHasNoneOfItsOwn)
{
    ASSERT_EQ(kv58::test::writeCatalogue(dir_.path(), QStringLiteral("de"), kGerman), QString());

    EXPECT_TRUE(kv58::selectLanguage(QStringLiteral("de_DE")));
    EXPECT_EQ(kv58::language(), QStringLiteral("de_DE"));
    EXPECT_EQ(_("Open"), QStringLiteral("Öffnen"));
    EXPECT_EQ(kv58::catalogueFile(), path(QStringLiteral("de/LC_MESSAGES/default.mo")));

    // A catalogue of the region itself comes first.
    ASSERT_EQ(kv58::test::writeCatalogue(dir_.path(), QStringLiteral("de_AT"),
                                         {{QStringLiteral("Open"), QStringLiteral("Aufmachen")}}),
              QString());
    EXPECT_TRUE(kv58::selectLanguage(QStringLiteral("de_AT")));
    EXPECT_EQ(_("Open"), QStringLiteral("Aufmachen"));
}

TEST_F(TranslationTest, WithoutCatalogueTextsStayEnglishWhileTheLanguageIsInForce)
{
    EXPECT_FALSE(kv58::selectLanguage(QStringLiteral("de")));
    EXPECT_EQ(kv58::language(), QStringLiteral("de"));
    EXPECT_EQ(_("Open"), QStringLiteral("Open"));
}

TEST_F(TranslationTest, SwitchingToAnotherFolderTakesItsCatalogue)
{
    // glibc keeps what it looked up; selecting again must not show the previous catalogue's texts.
    QTemporaryDir other;
    ASSERT_EQ(kv58::test::writeCatalogue(dir_.path(), QStringLiteral("de"), kGerman), QString());
    ASSERT_EQ(kv58::test::writeCatalogue(other.path(), QStringLiteral("de"),
                                         {{QStringLiteral("Open"), QStringLiteral("Aufmachen")}}),
              QString());

    ASSERT_TRUE(kv58::selectLanguage(QStringLiteral("de")));
    ASSERT_EQ(_("Open"), QStringLiteral("Öffnen"));
    kv58::setCatalogueFolders({other.path()});
    ASSERT_TRUE(kv58::selectLanguage(QStringLiteral("de")));
    EXPECT_EQ(_("Open"), QStringLiteral("Aufmachen"));
    EXPECT_EQ(_("&File"), QStringLiteral("&File"));
}

TEST_F(TranslationTest, UnusableCataloguesAreSkipped)
{
    struct Case {
        const char* name;
        std::function<void(const QString& folder)> make;
    };
    const auto writeMo = [](const QString& folder, const QByteArray& bytes) {
        QDir().mkpath(folder + QStringLiteral("/de/LC_MESSAGES"));
        QFile file(folder + QStringLiteral("/de/LC_MESSAGES/default.mo"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    const Case cases[] = {
        {"header declares Latin-1",
         [](const QString& folder) {
             ASSERT_EQ(kv58::test::writeCatalogue(folder, QStringLiteral("de"), kGerman, Charset::Latin1),
                       QString());
         }},
        {"not a catalogue",
         [&](const QString& folder) { writeMo(folder, QByteArray("Öffnen\n").repeated(10)); }},
        {"cut short",
         [&](const QString& folder) {
             writeMo(folder, QByteArray::fromHex("de120495000000000a000000ffff0000"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir bad;
        c.make(bad.path());
        kv58::setCatalogueFolders({bad.path()});
        EXPECT_FALSE(kv58::selectLanguage(QStringLiteral("de")));
        EXPECT_EQ(_("Open"), QStringLiteral("Open"));

        // A usable catalogue in a later folder is taken instead.
        kv58::setCatalogueFolders({bad.path(), dir_.path()});
        ASSERT_EQ(kv58::test::writeCatalogue(dir_.path(), QStringLiteral("de"), kGerman), QString());
        EXPECT_TRUE(kv58::selectLanguage(QStringLiteral("de")));
        EXPECT_EQ(kv58::catalogueFile(), path(QStringLiteral("de/LC_MESSAGES/default.mo")));
        EXPECT_EQ(_("Open"), QStringLiteral("Öffnen"));
    }
}

// A compiled catalogue written byte by byte in the byte order msgfmt does not use here.
QByteArray bigEndianCatalogue(const QList<QPair<QByteArray, QByteArray>>& messages)
{
    const auto word = [](QByteArray& out, quint32 value) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out += static_cast<char>((value >> shift) & 0xFF);
    };
    const auto count = static_cast<quint32>(messages.size());
    const quint32 originals = 28;
    const quint32 translations = originals + 8 * count;
    QByteArray strings;
    QByteArray originalTable;
    QByteArray translationTable;
    quint32 at = translations + 8 * count;
    for (const auto& [english, translation] : messages) {
        word(originalTable, static_cast<quint32>(english.size()));
        word(originalTable, at + static_cast<quint32>(strings.size()));
        strings += english + '\0';
    }
    for (const auto& [english, translation] : messages) {
        word(translationTable, static_cast<quint32>(translation.size()));
        word(translationTable, at + static_cast<quint32>(strings.size()));
        strings += translation + '\0';
    }
    QByteArray out;
    for (const quint32 value : {0x950412deU, 0U, count, originals, translations, 0U, 0U})
        word(out, value);
    return out + originalTable + translationTable + strings;
}

TEST_F(TranslationTest, TranslationsEverywhereGathersEveryUsableCatalogueOnceEach)
{
    const QList<Message> german = {{QStringLiteral("Date"), QStringLiteral("Datum")},
                                   {QStringLiteral("Date of run"), QStringLiteral("Laufdatum")}};
    ASSERT_EQ(kv58::test::writeCatalogue(dir_.path(), QStringLiteral("de"), german), QString());
    ASSERT_EQ(kv58::test::writeCatalogue(dir_.path(), QStringLiteral("fr"),
                                         {{QStringLiteral("Date"), QStringLiteral("Date")}}),
              QString());
    ASSERT_EQ(kv58::test::writeCatalogue(dir_.path(), QStringLiteral("es"),
                                         {{QStringLiteral("Date"), QStringLiteral("Fecha")}},
                                         Charset::Latin1),
              QString());
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("xx/LC_MESSAGES"))));
    QFile broken(path(QStringLiteral("xx/LC_MESSAGES/default.mo")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray::fromHex("de120495000000000a000000ffff0000"));
    broken.close();
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("empty"))));

    QTemporaryDir second;
    ASSERT_EQ(kv58::test::writeCatalogue(second.path(), QStringLiteral("de_AT"), german), QString());
    ASSERT_TRUE(QDir().mkpath(second.filePath(QStringLiteral("it/LC_MESSAGES"))));
    QFile italian(second.filePath(QStringLiteral("it/LC_MESSAGES/default.mo")));
    ASSERT_TRUE(italian.open(QIODevice::WriteOnly));
    italian.write(bigEndianCatalogue({{"", "Content-Type: text/plain; charset=UTF-8\n"}, {"Date", "Data"}}));
    italian.close();

    kv58::setCatalogueFolders({dir_.path(), second.path()});
    ASSERT_TRUE(kv58::selectLanguage(QStringLiteral("de")));

    struct Case {
        const char* english;
        QStringList expected;
    };
    const Case cases[] = {
        // Spanish declares Latin-1 and is skipped; French and Austrian repeat texts already there.
        {"Date", {QStringLiteral("Date"), QStringLiteral("Datum"), QStringLiteral("Data")}},
        {"Date of run", {QStringLiteral("Date of run"), QStringLiteral("Laufdatum")}},
        {"Dat", {QStringLiteral("Dat")}}, // the beginning of a message id is not that id
        {"Not in any catalogue", {QStringLiteral("Not in any catalogue")}},
        {"", {QString()}}, // not the catalogues' headers
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.english);
        EXPECT_EQ(kv58::translationsEverywhere(c.english), c.expected);
    }

    // The language in force is left alone.
    EXPECT_EQ(kv58::language(), QStringLiteral("de"));
    EXPECT_EQ(kv58::catalogueFile(), path(QStringLiteral("de/LC_MESSAGES/default.mo")));
    EXPECT_EQ(_("Date"), QStringLiteral("Datum"));
}

TEST_F(TranslationTest, DefaultFoldersAreBesideTheExecutableAndInTheInstalledShare)
{
    const QStringList folders = kv58::defaultCatalogueFolders();
    ASSERT_FALSE(folders.isEmpty());
    EXPECT_EQ(folders.first(), QCoreApplication::applicationDirPath() + QStringLiteral("/locale"));
    EXPECT_TRUE(folders.last().endsWith(QStringLiteral("/share/kv58/locale")))
        << folders.last().toStdString();
}

} // namespace
