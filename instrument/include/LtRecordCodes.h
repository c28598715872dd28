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

namespace lt {

// GretagCMD command numbers.
inline constexpr int kCmdReadWords = 1; // ";01": four 32-bit values
inline constexpr int kCmdTableDetection = 2; // ";D010": is an XY table connected?
inline constexpr int kCmdReflectionMode = 3;
inline constexpr int kCmdTransmissionMode = 4;
inline constexpr int kCmdEmissionMode = 5; // sends the transmission message
inline constexpr int kCmdBaudRate = 22; // payload: the new rate, 16-bit
inline constexpr int kCmdDensitySlopes = 100; // payload: four 32-bit slopes K, C, M, Y
inline constexpr int kCmdMeasurementConditions = 101; // payload: a GretagStruct
inline constexpr int kCmdServiceC064 = 200;
inline constexpr int kCmdServiceC065 = 201;
inline constexpr int kCmdServiceC068 = 202;
inline constexpr int kCmdEventCharacter = 250; // payload: the line's event character
inline constexpr int kCmdReadByte = 251; // payload: receives one byte
inline constexpr int kCmdEnterLoader = 300;
inline constexpr int kCmdBlankCheck = 301;
inline constexpr int kCmdBlankCheck2 = 302;
inline constexpr int kCmdErase = 303;
inline constexpr int kCmdErase2 = 304;
inline constexpr int kCmdLoaderR0 = 305;
inline constexpr int kCmdLoaderR1 = 306;
inline constexpr int kCmdStartWriting = 307;
inline constexpr int kCmdStartWriting2 = 308;
inline constexpr int kCmdWriteBlock = 309; // payload: 256 data bytes and their 16-bit sum
inline constexpr int kCmdLoaderD = 310;
inline constexpr int kCmdLeaveLoader = 311;
inline constexpr int kCmdServiceQueryFirst = 500; // 500..507: service queries with "=C1"
inline constexpr int kCmdServiceQueryLast = 507;

// What kCmdTableDetection writes into its payload's first byte.
inline constexpr unsigned char kTableDetected = 4;
inline constexpr unsigned char kTableAbsent = 2;

// GretagXY operation numbers. Adding kXySecondVariant to 0, 1, 2, 3 or 5
// gives the same script with the "1" form of its position request.
inline constexpr int kXyStartPosition = 0; // D010, D012, D003, then the move
inline constexpr int kXyMoveChecked = 1; // kStatusOffTable when the target is off the table
inline constexpr int kXyMove = 2; // head up, then the move
inline constexpr int kXyReadPosition = 3; // the head's X and Y, 16-bit each
inline constexpr int kXyWhiteCalibration = 4; // calibration on the table's white tile
inline constexpr int kXyMovePatch = 5; // head up, then the move
inline constexpr int kXyMoveAlternate = 6; // head up, then ";D001" XXXX YYYY
inline constexpr int kXyMeasure = 7; // three floats of colour space 4
inline constexpr int kXySendD010 = 8;
inline constexpr int kXySendD011 = 9;
inline constexpr int kXyHomeTable = 10; // D012
inline constexpr int kXyHeadUp = 11; // D010, D003
inline constexpr int kXyHeadDown = 12; // D010, D004
inline constexpr int kXyToWhiteTile = 13; // D010, D00600
inline constexpr int kXySendD002 = 14;
inline constexpr int kXyStatus = 15; // 32-bit flag
inline constexpr int kXyClosePort = 20;
inline constexpr int kXyMoveOnly = 21;
inline constexpr int kXyBaudRate = 22; // data: the new rate, 16-bit
inline constexpr int kXyInfo = 23; // 12 characters
inline constexpr int kXyLightFirst = 50; // 50..56: head lights
inline constexpr int kXyLightLast = 56;
inline constexpr int kXyNoOpFirst = 57; // 57..61: nothing is sent
inline constexpr int kXyNoOpLast = 61;
inline constexpr int kXySecondVariant = 30;
inline constexpr int kXySendD087 = 100;

} // namespace lt
