#pragma once
// How each opening export prepares the port.

#include "instrument/platform/SerialPort.h"

namespace lt {

struct PortOpenRecipe {
    const char* invalidPortMessage; // shown when the port number is not 1..4
    CommTimeouts defaultTimeouts; // used when the record brings none
    bool settleAfterPurge; // 100 ms pause after the purge
    bool xonXoffByHandshake; // output XON/XOFF when Handshake is 0; otherwise both off
    bool reuseOpenPort; // keep the object's port when it is still open instead of opening again
};

inline constexpr char kNoValidComDefinedMessage[] = "No valid COM defined: COM1 used";
inline constexpr char kNoValidComMessage[] = "No valid COM: COM1 used";

// The slow lines (service link, array spectrometer): long enough for a
// flash erase or a long integration.
inline constexpr CommTimeouts kSlowLineTimeouts {20000, 10000, 50000, 100, 5000};

// The spectrophotometers' open.
inline constexpr PortOpenRecipe kGretagOpen {
    kNoValidComDefinedMessage, {6000, 6000, 6000, 200, 6000}, true, true, false};
// The service link of the firmware download.
inline constexpr PortOpenRecipe kServiceOpen {
    kNoValidComDefinedMessage, kSlowLineTimeouts, true, true, false};
// The array spectrometer: no flow control, no settling pause, and an open
// port of the object is prepared again rather than opened twice.
inline constexpr PortOpenRecipe kSpectrometerOpen {
    kNoValidComMessage, kSlowLineTimeouts, false, false, true};

} // namespace lt
