// The acknowledgement and refusal tables: which row a reply's payload matches (first match wins)
// and the fields that row carries.
#pragma once

#include "protocol/Messages.h"

#include <QStringView>

namespace kv58 {

// `payload` is the line without "ACK:" or "NACK:".
AckReply decodeAck(QStringView payload);
NackReply decodeNack(QStringView payload);

} // namespace kv58
