// The pure parts of applying a decoded message: the stores of a measurement line into the channel
// records, up to the field that failed, and the in-use answer's rule.
#pragma once

#include "core/Kanal.h"
#include "protocol/Messages.h"

namespace kv58 {

// Each stores the line's fields in the order they are read and stops at the field that failed;
// stores made before it stay. True when the line converted completely and live processing goes on.
bool storeChannels(const IrradiationLine& line, TDateTime& zeit, Kanal& kanal1, Kanal& kanal2);
bool storeChannels(const TransmissionLine& line, Kanal& kanal1, Kanal& kanal2);
bool storeChannels(const RelationLine& line, Kanal& kanal1);

struct UseState {
    bool deviceInUse = false;     // the instrument said another host uses it
    bool useReplyPending = false; // discovery waits for an answer
    friend bool operator==(const UseState&, const UseState&) = default;
};

// "YES" marks the instrument as in use and ends the wait; any other answer frees it, but only
// while discovery waits for one; otherwise nothing changes.
UseState applyUseReply(const UseReply& reply, UseState state);

} // namespace kv58
