#include "support/TestCatalogue.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace kv58::test {
namespace {

QString quoted(const QString& text)
{
    QString out = text;
    out.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'"', QStringLiteral("\\\""))
        .replace(u'\n', QStringLiteral("\\n"));
    return u'"' + out + u'"';
}

} // namespace

int runProgram(const QString& program, const QStringList& arguments, QString* output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(10000)) {
        if (output != nullptr)
            *output = program + QStringLiteral(" could not be started");
        return -1;
    }
    process.waitForFinished(60000);
    if (output != nullptr)
        *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString writeCatalogue(const QString& folder, const QString& language, const QList<Message>& messages,
                       Charset charset)
{
    const QString dir = folder + QStringLiteral("/") + language + QStringLiteral("/LC_MESSAGES");
    if (!QDir().mkpath(dir))
        return QStringLiteral("cannot create ") + dir;
    QString po =
        QStringLiteral(
            "msgid \"\"\nmsgstr \"\"\n\"MIME-Version: 1.0\\n\"\n\"Content-Type: text/plain; charset=%1\\n\"\n"
            "\"Content-Transfer-Encoding: 8bit\\n\"\n\n")
            .arg(charset == Charset::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("ISO-8859-1"));
    for (const Message& message : messages)
        po += QStringLiteral("msgid %1\nmsgstr %2\n\n")
                  .arg(quoted(message.english), quoted(message.translation));

    const QString poFile = dir + QStringLiteral("/default.po");
    QFile file(poFile);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write ") + poFile;
    file.write(charset == Charset::Utf8 ? po.toUtf8() : po.toLatin1());
    file.close();

    QString output;
    const int code = runProgram(
        QStringLiteral("msgfmt"),
        {QStringLiteral("--check"), QStringLiteral("-o"), dir + QStringLiteral("/default.mo"), poFile},
        &output);
    return code == 0 ? QString() : QStringLiteral("msgfmt failed: ") + output;
}

} // namespace kv58::test
