#pragma once
// The text of a quality-control set: tab-separated lines ending in CR LF
// with numbered section lines ("#1" ... "#8"), readable in a text editor and
// in a spreadsheet. The same text is saved to a file and printed.
//
//   #1  Lumatrak Quality Control          (the reader tests the first bytes)
//   #2  Customer:  path
//   #3  Illumination:  name  Obs:  name
//   #4  N1:  entries  N2:  matches  MN:  readings per judgement
//   #5
//   #6  column heads, then one line per entry
//   #7
//   #8  column heads, then one line per logged match (only when there are any)
#include <cstddef>
#include <string>
#include <string_view>

#include "core/qc/QcSet.h"

namespace lt {

inline constexpr std::string_view kQcTextSignature = "#1";
// A line holds at most this many bytes, its LF included.
inline constexpr std::size_t kQcMaxLineLength = 200;
// Short comments are followed by an extra tab so that the columns line up.
inline constexpr std::size_t kQcPaddedCommentLength = 9;

// The colorimetry selections (illuminant 0 Neutral, 1 A, 2 C, 3 D65, 4 D50,
// 5 D55, 6 D75, 7 B, 8 G, 9 P, 10 Xe; observer 0 2 degrees, 1 10 degrees)
// as the set names them. The selections the format has no code for carry
// their own name with code 0; a selection outside the lists is named "?".
std::string qcIlluminantName(int selection);
std::string qcObserverName(int selection);

// Before the set is written or printed: the illuminant and observer in use
// are stored in the set, and the averaging count read from the "Average:"
// field is kept within 1..10.
void prepareQcSetForWriting(
    QcSet& set, int illuminantSelection, int observerSelection, long long averageRead);

// The whole text of the set; the "#2" line names set.customer.
std::string ComposeQcText(const QcSet& set);

// The reader's verdict on a text.
struct QcParseResult {
    bool complete = true;
    int line = 0; // 1-based line where reading stopped (when not complete)
    std::string reason; // what was wrong there
};

// True when the text begins with the signature "#1".
bool isQcText(std::string_view bytes);

// Reads a text into set: illuminant, observer, entry count, averaging
// count, entries and comments; the customer becomes path and the log is
// emptied. Entry slots beyond the entry count keep what they held. A text
// is incomplete when a line before "#4" is neither a section nor an entry,
// a line is longer than kQcMaxLineLength, an entry number or the entry
// count is above 200, an entry line lacks values, or an announced entry is
// missing. The set then holds what was read before the failing line:
// callers that must keep their set read into a copy.
QcParseResult ParseQcText(std::string_view bytes, const std::string& path, QcSet& set);

} // namespace lt
