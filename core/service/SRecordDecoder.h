#pragma once
// Motorola S-record firmware files turned into the program image that the
// instrument's loader writes into its flash. Every record is checked before
// any byte is used: a damaged file must never reach the instrument, since a
// flash written from it can leave the instrument without a working program.
//
// What is accepted:
// - lines ending in CR LF or in LF alone; trailing blanks and tabs are
//   ignored; empty lines are skipped;
// - hex digits in upper or lower case, after the record mark "S" and type;
// - data records S1, S2 and S3 (16-, 24- and 32-bit addresses), each checked
//   against its count and checksum; the image is their data in address
//   order, and the addresses must run on without gap or overlap from 000000,
//   so that every byte lands at the image offset equal to its address;
// - header S0, record counts S5 and S6 (which must equal the number of data
//   records before them) and the start addresses S7, S8 and S9: checked and
//   otherwise skipped.
// Anything else (S4, another character, a record shorter or longer than its
// count, a wrong checksum, a line over kSRecordMaxLineLength, a file over
// kFirmwareFileLimit, an image over kFirmwareImageLimit, no data at all)
// refuses the whole file with the number of the line at fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lt {

inline constexpr std::size_t kFirmwareFileLimit = 2000000; // [bytes] of S-record text
inline constexpr std::size_t kFirmwareImageLimit = 1200000; // [bytes] of program image
// "S", type, count and 255 bytes of address, data and checksum.
inline constexpr std::size_t kSRecordMaxLineLength = 4 + 2 * 255;

struct SRecordDecoding {
    std::vector<std::uint8_t> image; // empty when the file was refused
    bool ok = false;
    int errorLine = 0; // 1-based line at fault (0: the file as a whole)
    std::string error; // what was wrong, for the operator
    int dataRecords = 0;
};

SRecordDecoding decodeSRecords(std::string_view text);

// "line 12: checksum 3B, the record sums to 3A" or the whole-file reason.
std::string describeRefusal(const SRecordDecoding& decoding);

} // namespace lt
