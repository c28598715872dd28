#pragma once
// The entries of the "Device Type :" list and what each means to the
// program: which session talks to it, how its line is set up, what Init
// Device asks of the operator and what follows a good initialisation,
// whether it rides the XY table. Code looks a type up here instead of
// comparing type numbers.
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
    const char* name = ""; // as the list shows it
    InstrumentFamily family = InstrumentFamily::Spectrophotometer;
    bool onXyTable = false; // the head rides the XY table (charts measured automatically)
    bool initialises = true; // Init Device opens it (the empty entry is no instrument)
    std::uint8_t handshake = 0; // RTS/CTS on the line
    // Init Device asks the operator to put the instrument on its white reference.
    const char* whitePrompt = "";
    const char* whitePromptCaption = "";
    MessageButtons whitePromptButtons = MessageButtons::Ok;
    const char* whiteFailureCaption = "Lumatrak"; // caption of "White reference failed ! (Port?)"
    bool remoteAfterInit = false; // the key is polled as soon as the white reference is done
    bool portSharedWithService = false; // the service link uses the port Init Device opened
    bool newParameterTakesWhite = false; // New Parameter repeats the white reference
    // The spectrometer's settings (limits, scans, integration time, gain,
    // illumination) and its own wavelength axis.
    bool spectrometerControls = false;
    unsigned char reflectionCommand = 0; // spectrometer acquisition in reflection mode
    unsigned char otherModeCommand = 0; // spectrometer acquisition in the other modes
};

inline constexpr DeviceType kDeviceTypes[] = {
    {.name = "Lumatrak S",
        .handshake = 1,
        .whitePrompt = "Place spectrophotometer \non white reference !",
        .whitePromptCaption = "Lumatrak S",
        .whitePromptButtons = MessageButtons::OkCancel,
        .remoteAfterInit = true,
        .portSharedWithService = true},
    {.name = "Lumatrak A",
        .onXyTable = true,
        .handshake = 1,
        .whitePrompt = "The spectrophotometer will move\nonto white reference !",
        .whitePromptCaption = "Lumatrak A"},
    {.name = "Spectrolino",
        .whitePrompt = "Use 'No' filter and place spectrometer on white reference !",
        .whitePromptCaption = "Spectrolino",
        .whitePromptButtons = MessageButtons::OkCancel,
        .whiteFailureCaption = "Spectrolino",
        .newParameterTakesWhite = true},
    {.name = "ProtoType",
        .family = InstrumentFamily::Spectrometer,
        .spectrometerControls = true,
        .reflectionCommand = kCommandReflectance7,
        .otherModeCommand = kCommandDensity},
    {.name = "",
        .family = InstrumentFamily::Spectrometer,
        .initialises = false,
        .reflectionCommand = kCommandReflectance32,
        .otherModeCommand = kCommandDensity31},
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
