#include "protocol/ProtocolResult.h"

namespace protocol_result {

const char* resultName(int code) {
    if (code >= 0)
        return "OK";
    switch (static_cast<Code>(code)) {
        case kOk:
            return "OK";
        case kWrongSync:
            return "WRONG_SYNC";
        case kTooShort:
            return "TOO_SHORT";
        case kNullBuffer:
            return "NULL_BUFFER";
        case kWrongType:
            return "WRONG_TYPE";
        case kOtherGeneration:
            return "OTHER_GENERATION";
        case kUnknownBand:
            return "UNKNOWN_BAND";
        case kUnsupported:
            return "UNSUPPORTED";
        case kNeedMore:
            return "NEED_MORE";
        case kNotAPacket:
            return "NOT_A_PACKET";
        case kNoSync:
            return "NO_SYNC";
        case kRejectBuffer:
            return "REJECT_BUFFER";
        case kNoRoom:
            return "NO_ROOM";
        case kNoSettings:
            return "NO_SETTINGS";
    }
    return "UNKNOWN";
}

}  // namespace protocol_result
