#pragma once
// Status codes returned by every export of CTaviSpec. 0 is success; values
// above 10000 are link failures; small nonzero values are the instrument's
// own answers.

namespace lt {

inline constexpr unsigned long kStatusOk = 0;
inline constexpr unsigned long kStatusNoHandle = 1; // close without a handle
inline constexpr unsigned long kStatusRefused =
    1; // the instrument answered with an error or not at all
inline constexpr unsigned long kStatusProbeReadFailed =
    2; // handshake read failure before the baud probe ended
inline constexpr unsigned long kStatusCalibrationFailed =
    50; // white calibration: later reply not as expected

inline constexpr unsigned long kStatusPortNotOpen = 10000;
inline constexpr unsigned long kStatusShortReply =
    10001; // reply missing, short or of the wrong kind
inline constexpr unsigned long kStatusPortState =
    10002; // reading or writing the line settings failed
inline constexpr unsigned long kStatusGetStateFailed = 10003; // the array spectrometer's open
inline constexpr unsigned long kStatusSetStateFailed =
    10004; // the array spectrometer's open, added to its result
inline constexpr unsigned long kStatusWrongReply = 10004; // handshake reply of the wrong kind
inline constexpr unsigned long kStatusFinalReplyWrong = 10006;
inline constexpr unsigned long kStatusNoHandshakeState = 10007;
inline constexpr unsigned long kStatusWriteFailed = 10010;
inline constexpr unsigned long kStatusWriteTimeout = 10011;
inline constexpr unsigned long kStatusReadFailed = 10020;
inline constexpr unsigned long kStatusReadTimeout = 10021;
inline constexpr unsigned long kStatusUnexpectedStatus = 10030;
inline constexpr unsigned long kStatusAlternateBase = 10100; // plus the instrument's error numeral
inline constexpr unsigned long kStatusTableNoReply = 10106; // table device: reply not ":D1"
inline constexpr unsigned long kStatusTableNotReady = 10107; // table device: "A0" missing
inline constexpr unsigned long kStatusTableError = 10108; // table device: "00" missing
inline constexpr unsigned long kStatusUnknownXPress = 10501;
inline constexpr unsigned long kStatusOutputRejected = 10600;
inline constexpr unsigned long kStatusUnknownOperation =
    20000; // table operation or command number unknown
inline constexpr unsigned long kStatusHandshakeErrorBase = 73456; // plus the error character's code

// Callers treat results above this as link failures.
inline constexpr unsigned long kLinkFailureThreshold = 10000;

} // namespace lt
