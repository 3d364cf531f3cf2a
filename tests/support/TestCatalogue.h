// Small message catalogues for tests: written as .po text and compiled with msgfmt.
#pragma once

#include <QList>
#include <QString>

namespace kv58::test {

struct Message {
    QString english;
    QString translation;
};

enum class Charset { Utf8, Latin1 };

// Writes <folder>/<language>/LC_MESSAGES/default.po with a header that declares `charset` (the
// file encoded in it) and compiles it into default.mo beside it. Returns an empty text on success,
// otherwise what went wrong.
QString writeCatalogue(const QString& folder, const QString& language, const QList<Message>& messages,
                       Charset charset = Charset::Utf8);

// Runs a program to its end; its exit code, or -1 when it could not be started. Standard output
// and error go to `output`.
int runProgram(const QString& program, const QStringList& arguments, QString* output);

} // namespace kv58::test
