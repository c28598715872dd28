// The status line's words for every kind of failed exchange: the library's
// code behind them, the port, and a measurement's fetch offset.
#include "core/station/FailureText.h"

#include <gtest/gtest.h>

namespace lt {
namespace {

TEST(FailureText, SaysWhatFailedOnWhichPortWithTheCode)
{
    struct Case {
        unsigned long status;
        int port;
        bool measurement;
        const char* text;
    } cases[] = {
        {0, 1, false, ""},
        {10021, 1, false, "No answer from the instrument on COM1 (10021)"},
        {10000, 2, false, "COM2 is not open: click \"Init Device\" first (10000)"},
        {10020, 1, false, "Reading from COM1 failed (was the line dropped?) (10020)"},
        {10011, 2, false, "Writing to COM2 timed out (is the instrument switched on?) (10011)"},
        {2, 1, false, "The instrument on COM1 refused the request (2)"},
        {10103, 1, false, "The instrument on COM1 reported error 3 (10103)"},
        {10107, 1, false, "The XY table on COM1 is not ready (10107)"},
        {73456 + 'E', 1, false, "The handshake with the instrument on COM1 failed (73525)"},
        {10999, 1, false, "The link to the instrument on COM1 failed (10999)"},
        // A measurement's third fetch (plus 200) that got no answer.
        {10221, 1, true, "No answer from the instrument on COM1 (10221)"},
        {10420, 2, true, "Reading from COM2 failed (was the line dropped?) (10420)"},
        {10021, 1, true, "No answer from the instrument on COM1 (10021)"},
        {50, 1, true, "The instrument on COM1 refused the request (50)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(failureText(c.status, c.port, c.measurement), c.text) << c.status;
}

} // namespace
} // namespace lt
