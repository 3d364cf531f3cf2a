// Decoding of one line from the instrument into a typed message. Pure: it reads no state, writes
// none and never fails; a field that does not convert is reported in the message.
#pragma once

#include "protocol/Messages.h"

#include <QString>

namespace kv58 {

// Recognises the line by its leading keyword ("Time:", "Transmission:", "Relation:", "USE:",
// "ZEIT:", "ACK:", "NACK:", "CH1:", "CH2:", first match wins) and takes it apart.
Message decodeLine(const QString& line);

// The single kinds, for callers that already know what they hold.
UseReply decodeUseReply(QStringView payload);
ClockLine decodeClockLine(const QString& line);
ChannelInfo decodeChannelInfo(int channel, QStringView remainder);

} // namespace kv58
