// Taking apart the three measurement lines ("Time:", "Transmission:", "Relation:") field by field,
// stopping at the first value that does not convert.
#pragma once

#include "protocol/Messages.h"

#include <QStringView>

namespace kv58 {

// Each takes the whole line, keyword included.
IrradiationLine parseIrradiationLine(QStringView line);
TransmissionLine parseTransmissionLine(QStringView line);
RelationLine parseRelationLine(QStringView line);

} // namespace kv58
