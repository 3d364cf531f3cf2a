// kv58-sim: a virtual KV58 on the virtual bus, for trying the program without an instrument.
#include "SimOptions.h"
#include "SimRunner.h"
#include "core/Clock.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const auto parsed = kv58::sim::parseSimOptions(QCoreApplication::arguments(), kv58::localNow());
    if (!parsed.options) {
        std::fputs(parsed.message.toLocal8Bit().constData(), parsed.help ? stdout : stderr);
        std::fputc('\n', parsed.help ? stdout : stderr);
        return parsed.help ? 0 : 1;
    }
    kv58::sim::SimRunner runner(*parsed.options);
    QString error;
    if (!runner.start(&error)) {
        std::fprintf(stderr, "kv58-sim: %s\n", error.toLocal8Bit().constData());
        return 2;
    }
    return app.exec();
}
