// Carries out what each received line means, in the order the program requires: the decoder
// takes the line apart, this class applies the effects to the state, the pages and the deferred
// commands.
#pragma once

#include "protocol/Messages.h"

#include <QObject>

namespace kv58 {

class DeferredCommands;
class TMainForm;
struct AppState;

class MessageDispatcher : public QObject {
    Q_OBJECT
public:
    MessageDispatcher(AppState& state, DeferredCommands& jobs, TMainForm& form, QObject* parent = nullptr);

    // Decodes one received line and applies it.
    void decode(const QString& line);

private:
    void apply(const UnrecognisedLine&) {}
    void apply(const IrradiationLine& line);
    void apply(const TransmissionLine& line);
    void apply(const RelationLine& line);
    void apply(const UseReply& reply);
    void apply(const ClockLine& line);
    void apply(const AckReply& reply);
    void apply(const NackReply& reply);
    void apply(const ChannelInfo& info);

    // Shown from the event loop, so the reader that delivered the line is not held while the box
    // is open and further lines are decoded meanwhile.
    void showRefusal(NackRow row);

    AppState& state_;
    DeferredCommands& jobs_;
    TMainForm& form_;
};

} // namespace kv58
