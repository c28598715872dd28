#pragma once
// The entries of the "Device Type :" list and what each means to the
// instrument page: which session talks to it, how its line is set up, what
// Init Device asks of the operator and what follows a good initialisation.
// The page looks its type up here instead of comparing type numbers.
#include <algorithm>
#include <cstdint>
#include <iterator>

#include "core/station/Operator.h"
#include "core/station/SharedRecord.h"
#include "instrument/include/LtRecordCodes.h"

namespace lt {

enum class InstrumentFamily {
    Spectrophotometer, // ASCII protocol: white reference, trigger and fetch, the key
    Spectrometer, // binary protocol: dark and zero references, acquisitions
};

struct DeviceType {
    const char* name; // as the list shows it
    InstrumentFamily family;
    bool initialises; // Init Device opens it (the empty entry is no instrument)
    std::uint8_t handshake; // RTS/CTS on the line
    // Init Device asks the operator to put the instrument on its white reference.
    const char* whitePrompt;
    const char* whitePromptCaption;
    MessageButtons whitePromptButtons;
    const char* whiteFailureCaption; // caption of kWhiteReferenceFailed
    bool remoteAfterInit; // the key is polled as soon as the white reference is done
    bool portSharedWithService; // the service link uses the port Init Device opened
    bool newParameterTakesWhite; // New Parameter repeats the white reference
    bool spectrometerControls; // limits, scans, integration time, gain, illumination; own axis
    unsigned char reflectionCommand; // spectrometer acquisition in reflection mode
    unsigned char otherModeCommand; // spectrometer acquisition in the other modes
};

inline constexpr DeviceType kDeviceTypes[] = {
    {"Lumatrak S", InstrumentFamily::Spectrophotometer, true, 1,
        "Place spectrophotometer \non white reference !", "Lumatrak S", MessageButtons::OkCancel,
        "Lumatrak", true, true, false, false, 0, 0},
    {"Lumatrak A", InstrumentFamily::Spectrophotometer, true, 1,
        "The spectrophotometer will move\nonto white reference !", "Lumatrak A", MessageButtons::Ok,
        "Lumatrak", false, false, false, false, 0, 0},
    {"Spectrolino", InstrumentFamily::Spectrophotometer, true, 0,
        "Use 'No' filter and place spectrometer on white reference !", "Spectrolino",
        MessageButtons::OkCancel, "Spectrolino", false, false, true, false, 0, 0},
    {"ProtoType", InstrumentFamily::Spectrometer, true, 0, "", "", MessageButtons::Ok, "", false,
        false, false, true, kCommandReflectance7, kCommandDensity},
    {"", InstrumentFamily::Spectrometer, false, 0, "", "", MessageButtons::Ok, "", false, false,
        false, false, kCommandReflectance32, kCommandDensity31},
};

inline constexpr int kDeviceTypeCount = static_cast<int>(std::size(kDeviceTypes));
static_assert(kDeviceTypeCount == InstrumentPrototype + 2, "four instruments and the empty entry");

// The entry of a stored type number; numbers outside the list take the nearest entry.
inline int clampDeviceType(int type)
{
    return std::clamp(type, 0, kDeviceTypeCount - 1);
}

inline const DeviceType& deviceType(int type)
{
    return kDeviceTypes[clampDeviceType(type)];
}

} // namespace lt
