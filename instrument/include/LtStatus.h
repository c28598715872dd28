#pragma once
// Status codes returned by the exports of CTaviSpec, each named once, and
// the predicates every caller judges them by.
//
// Three classes:
//   0                  success (isSuccess);
//   1 .. 9999          the instrument's own answer: a refusal, a key number,
//                      a loader's verdict (isInstrumentAnswer);
//   10000 and above    the exchange failed: no open port, a broken, missing or
//                      foreign reply, a failed or timed-out transfer, an
//                      unknown operation (isLinkFailure). 10000 itself
//                      ("port not open") is a failure like every code above.
// Several codes share a value where they come from different exports; the
// comment says which export returns which.

namespace lt {

// ---- success and the instrument's own answers -----------------------------
inline constexpr unsigned long kStatusOk = 0;
inline constexpr unsigned long kStatusNoHandle = 1; // a close without a handle
// The instrument refused (":1F" with an error number, InitGloss without "000")
// or the handshake read failed from probe state 10 on.
inline constexpr unsigned long kStatusRefused = 1;
// GretagPortOpenAndInit: no answer while probing the rates; the host then
// tries its next rate.
inline constexpr unsigned long kStatusProbeReadFailed = 2;
// GretagCMD 301/302: the loader's blank check did not pass.
inline constexpr unsigned long kStatusLoaderNotBlank = 2;
// GretagCMD 303/304: the loader refused to erase.
inline constexpr unsigned long kStatusLoaderEraseRefused = 3;
// GretagCMD 309: the loader refused the block (first answer).
inline constexpr unsigned long kStatusLoaderBlockRefused = 4;
// GretagCMD 309: the block was not written (second answer).
inline constexpr unsigned long kStatusLoaderBlockNotWritten = 5;
// GretagCMD 500..507: the service query was answered without "=C1".
inline constexpr unsigned long kStatusServiceQueryRefused = 5;
// GretagInitExecRemission with the XY table: the white tile was not measured.
inline constexpr unsigned long kStatusCalibrationFailed = 50;
// SpecDataReady: the deferred fetch's data were still incomplete at its
// time-out (the acquisition may be read again).
inline constexpr unsigned long kStatusDataIncomplete = 996;

// ---- failures of the exchange ---------------------------------------------
// No open port behind the handle, or the device did not open; GretagXY:
// an acknowledge of the wrong kind or operation 20 without a port.
inline constexpr unsigned long kStatusPortNotOpen = 10000;
// GretagExecRemission: the trigger reply carried error numeral d: 10000 + d.
inline constexpr unsigned long kStatusTriggerErrorBase = 10000;
// A reply missing, short, garbled, of the wrong kind (its header is not the
// one defined for the request) or refused (":26"); nothing was decoded and
// the destination is untouched.
inline constexpr unsigned long kStatusShortReply = 10001;
// Reading or writing the line settings failed.
inline constexpr unsigned long kStatusPortState = 10002;
inline constexpr unsigned long kStatusGetStateFailed = 10003; // SpecPortOpen
// SpecPortOpen: added to its result when the line settings were refused or
// the baud probe found no echo.
inline constexpr unsigned long kStatusSetStateFailed = 10004;
// GretagPortOpenAndInit: a handshake reply of the wrong kind.
inline constexpr unsigned long kStatusWrongReply = 10004;
inline constexpr unsigned long kStatusFinalReplyWrong = 10006; // last handshake reply
inline constexpr unsigned long kStatusNoHandshakeState = 10007; // the probe ran out of rates
inline constexpr unsigned long kStatusWriteFailed = 10010;
inline constexpr unsigned long kStatusWriteTimeout = 10011;
inline constexpr unsigned long kStatusReadFailed = 10020; // read error or the line hung up
inline constexpr unsigned long kStatusReadTimeout = 10021;
// GretagInitExecRemission: ":25" with a status other than "13" or "34".
inline constexpr unsigned long kStatusUnexpectedStatus = 10030;
// GretagExecRemission alternate reading: 10100 + the error numeral;
// GretagXY 1/31: the target lies off the table.
inline constexpr unsigned long kStatusAlternateBase = 10100;
inline constexpr unsigned long kStatusOffTable = 10100;
inline constexpr unsigned long kStatusTableNoReply = 10106; // table device: reply not ":D1"
inline constexpr unsigned long kStatusTableNotReady = 10107; // table device: "A0" missing
inline constexpr unsigned long kStatusTableError = 10108; // table device: "00" missing
inline constexpr unsigned long kStatusUnknownXPress = 10501;
// GretagSetMeasurementOutput: a reply not accepted. A failed exchange of it
// returns its code plus kOutputCodeOffset.
inline constexpr unsigned long kStatusOutputRejected = 10600;
inline constexpr unsigned long kOutputCodeOffset = 600;
inline constexpr unsigned long kStatusUnknownOperation = 20000; // table operation unknown
// GretagPortOpenAndInit: the last handshake reply carried error character c:
// 73456 + its character code.
inline constexpr unsigned long kStatusHandshakeErrorBase = 73456;

// The lowest failure of the exchange.
inline constexpr unsigned long kLinkFailureThreshold = kStatusPortNotOpen;

// ---- predicates -----------------------------------------------------------
constexpr bool isSuccess(unsigned long code)
{
    return code == kStatusOk;
}

// The exchange failed: nothing valid was received.
constexpr bool isLinkFailure(unsigned long code)
{
    return code >= kLinkFailureThreshold;
}

// The instrument answered, with something other than plain success.
constexpr bool isInstrumentAnswer(unsigned long code)
{
    return code != kStatusOk && !isLinkFailure(code);
}

// A wait ran out before the instrument had answered in full.
constexpr bool isTimeout(unsigned long code)
{
    return code == kStatusReadTimeout || code == kStatusWriteTimeout ||
        code == kStatusDataIncomplete;
}

} // namespace lt
