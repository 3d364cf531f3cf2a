// The command line of kv58-sim: where the virtual instrument appears on the bus, how it identifies
// itself, and how it behaves.
#pragma once

#include "Kv58Instrument.h"
#include "link/VirtualBus.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace kv58::sim {

struct SimOptions {
    QString busDir;
    QString stem = QStringLiteral("kv58-sim");
    VirtualIdentity identity;
    InstrumentSetup setup;
    bool verbose = false;
};

struct ParsedOptions {
    std::optional<SimOptions> options; // empty on error or when help was asked for
    bool help = false;
    QString message; // the error, or the help text
};

// `arguments` includes the program name first. `clockStart` is the instrument clock's start value.
ParsedOptions parseSimOptions(const QStringList& arguments, TDateTime clockStart);

} // namespace kv58::sim
