#pragma once
// How each opening export prepares the port.

#include "instrument/platform/SerialPort.h"

namespace lt {

struct PortOpenRecipe {
    const char* invalidPortMessage;  // shown when the port number is not 1..4
    CommTimeouts defaultTimeouts;    // used when the record brings none
    bool settleAfterPurge;           // 100 ms pause after the purge
    bool xonXoffByHandshake;         // output XON/XOFF when Handshake is 0; otherwise both off
};

inline constexpr char kNoValidComDefinedMessage[] = "No valid COM defined: COM1 used";

// The spectrophotometers' open.
inline constexpr PortOpenRecipe kGretagOpen{kNoValidComDefinedMessage, {6000, 6000, 6000, 200, 6000}, true, true};
// The service link of the firmware download.
inline constexpr PortOpenRecipe kServiceOpen{kNoValidComDefinedMessage, {20000, 10000, 50000, 100, 5000}, true,
                                             true};

}  // namespace lt
