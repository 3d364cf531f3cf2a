#include "protocol/DeferredJobs.h"

#include "protocol/Commands.h"

namespace kv58 {

QString deferredJobCommand(int job, const DeferredJobInputs& in)
{
    switch (job) {
    case JobGetSerial:
        return cmd::getSerial();
    case JobCalDateCh1:
        return cmd::calDateChannel(1, in.now);
    case JobCalDateCh2:
        return cmd::calDateChannel(2, in.now);
    case JobSetBuild:
        return cmd::setBuild(in.buildDate);
    case JobGetFirm:
        return cmd::getFirm();
    case JobSetCalDate:
        return cmd::setCalDate(in.calDate);
    case JobSetSerial:
        return cmd::setSerial(in.hardwareVersion, in.serialNumber);
    case JobSetRtc:
        return cmd::setRtc(in.now);
    default:
        return {};
    }
}

} // namespace kv58
