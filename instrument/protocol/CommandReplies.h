#pragma once
// The answers to the numbered commands taken apart, without the link: each
// decoder reads a complete reply of the kind its request accepts and writes
// what it carries into the caller's payload (when there is one). They
// return 0, or the status the command ends with.

#include <string_view>

namespace lt {

// ":0C" and four 32-bit hex values from column 3 (the instrument's
// measurement conditions); a value that is not hex gives a short reply.
unsigned long decodeConditions(std::string_view reply, void* payload);

// ":1F" with "00" at column 3 is accepted; any other code is a refusal.
unsigned long decodeAcknowledge(std::string_view reply, void* payload);

// ":D1" says an XY table answers, the refusal ":26" that none is there: one
// byte into the payload.
unsigned long decodeTableDetection(std::string_view reply, void* payload);

// "=" and a 32-bit hex value from column 5: a service value.
unsigned long decodeServiceValue(std::string_view reply, void* payload);

// As decodeServiceValue, but only "=C1" carries a value; any other answer
// is the instrument's refusal of the query.
unsigned long decodeCheckedServiceValue(std::string_view reply, void* payload);

} // namespace lt
