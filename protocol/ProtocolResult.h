#pragma once

// Results of the protocol operations. Parse operations return kOk, framing and builders a positive
// length; every failure has a code of its own, so a caller, a log line or tarno-cli can tell them
// apart. The values are negative and never reused; resultName() gives each a stable name.
namespace protocol_result {

enum Code : int {
    kOk = 0,

    // Parse operations.
    kWrongSync = -1,        // byte 0 is not the sync byte
    kTooShort = -2,         // fewer bytes than the packet needs, or too little room for values
    kNullBuffer = -3,       // no bytes, or no buffer to write to
    kWrongType = -4,        // a packet of another type
    kOtherGeneration = -5,  // a discovery reply of another generation
    kUnknownBand = -6,      // a spectrum packet naming a band the accessory does not have
    kUnsupported = -99,     // not offered by this generation

    // Framing (packetLength).
    kNeedMore = -10,      // not complete yet: wait for more bytes
    kNotAPacket = -11,    // this header starts no packet: skip it
    kNoSync = -12,        // not at a sync byte
    kRejectBuffer = -13,  // the header announces something impossible: drop what is buffered

    // Builders.
    kNoRoom = -20,      // the buffer is shorter than the command
    kNoSettings = -21,  // a settings command without settings
};

// A stable upper-case name ("TOO_SHORT"); "OK" for success and any positive length, "UNKNOWN" for
// a value that is no code.
const char* resultName(int code);

}  // namespace protocol_result
