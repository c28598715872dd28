#pragma once
// Selector values the host writes into the records it hands to CTaviSpec:
// what a GretagStruct asks for, and which acquisition SpecAquire takes.
// The library decodes them and the host sets them from this one list.

namespace lt {

// GretagStruct::StartStep
inline constexpr unsigned char kStartTrigger = 0; // trigger a measurement, then fetch
inline constexpr unsigned char kStartFetch = 1; // fetch what the instrument measured last
inline constexpr unsigned char kStartTriggerOnly = 100; // trigger without fetching

// GretagStruct::OutputType
inline constexpr unsigned char kOutputSpectrum = 0;
inline constexpr unsigned char kOutputColorimetric = 1;
inline constexpr unsigned char kOutputDensity = 2;
inline constexpr unsigned char kOutputAlternate = 100; // the instrument's alternate reading

// SpecAquire commands.
inline constexpr unsigned char kCommandDark = 1;
inline constexpr unsigned char kCommandWhite = 2;
inline constexpr unsigned char kCommandDensity = 4;
inline constexpr unsigned char kCommandReflectance = 5;
inline constexpr unsigned char kCommandReflectance6 = 6;
inline constexpr unsigned char kCommandReflectance7 = 7;
inline constexpr unsigned char kCommandZero = 20; // white reference
inline constexpr unsigned char kCommandDarkOnly = 21; // dark reference without colour values
inline constexpr unsigned char kCommandDarkWindow = 22; // dark reference, takes the window
inline constexpr unsigned char kCommandDensity31 = 31;
inline constexpr unsigned char kCommandReflectance32 = 32;

} // namespace lt
