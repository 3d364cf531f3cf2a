// The German catalogue: complete, compiled beside the executables, and holding every text that
// the sources mark for translation (`_()` and `N_()`).
#include "core/Translation.h"
#include "support/TestCatalogue.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kSourceDir = QStringLiteral(KV58_SOURCE_DIR);
const QString kGermanPo = kSourceDir + QStringLiteral("/locale/de/LC_MESSAGES/default.po");

TEST(GermanCatalogue, HasNoUntranslatedOrFuzzyEntries)
{
    QString output;
    ASSERT_EQ(kv58::test::runProgram(QStringLiteral("msgfmt"),
                                     {QStringLiteral("--check"), QStringLiteral("--statistics"),
                                      QStringLiteral("-o"), QStringLiteral("/dev/null"), kGermanPo},
                                     &output),
              0)
        << output.toStdString();
    EXPECT_FALSE(output.contains(QStringLiteral("untranslated"))) << output.toStdString();
    EXPECT_FALSE(output.contains(QStringLiteral("fuzzy"))) << output.toStdString();
}

TEST(GermanCatalogue, HoldsEveryTextTheSourcesMarkForTranslation)
{
    QStringList sources;
    QDirIterator it(kSourceDir + QStringLiteral("/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        sources << it.next();
    sources.sort();
    ASSERT_FALSE(sources.isEmpty());

    QTemporaryDir dir;
    const QString pot = dir.filePath(QStringLiteral("marked.pot"));
    QString output;
    ASSERT_EQ(kv58::test::runProgram(
                  QStringLiteral("xgettext"),
                  QStringList{QStringLiteral("--language=C++"), QStringLiteral("--keyword=_"),
                              QStringLiteral("--keyword=N_"), QStringLiteral("--from-code=UTF-8"),
                              QStringLiteral("--force-po"), QStringLiteral("-o"), pot} +
                      sources,
                  &output),
              0)
        << output.toStdString();

    // msgcmp fails for every marked text without a finished German entry.
    const int code = kv58::test::runProgram(QStringLiteral("msgcmp"), {kGermanPo, pot}, &output);
    // Entries that no source uses yet are fine; keep them out of the report.
    QStringList missing = output.split(u'\n', Qt::SkipEmptyParts);
    missing.removeIf([](const QString& line) { return line.contains(QStringLiteral("is not used")); });
    EXPECT_EQ(code, 0) << "texts without German translation:\n" << missing.join(u'\n').toStdString();
}

TEST(GermanCatalogue, IsCompiledBesideTheExecutables)
{
    kv58::setCatalogueFolders({QStringLiteral(KV58_BIN_DIR "/locale")});
    EXPECT_TRUE(kv58::selectLanguage(QStringLiteral("de")));
    EXPECT_EQ(kv58::_("&File"), QStringLiteral("&Datei"));
    EXPECT_EQ(kv58::_("Save as..."), QStringLiteral("Speichern unter..."));
    EXPECT_EQ(kv58::_("Device control"), QStringLiteral("Gerätesteuerung"));
    kv58::setCatalogueFolders(kv58::defaultCatalogueFolders());
    kv58::selectLanguage(QStringLiteral("en"));
    EXPECT_EQ(kv58::_("&File"), QStringLiteral("&File"));
}

} // namespace
