// The spot-colour file on arbitrary content. The first input byte chooses
// an entry to delete, the rest is the file. Promises checked:
// - saving what was read and reading it again gives the same entries, and a
//   second save writes the very same text (nothing is lost or altered
//   twice);
// - loading the file as the program does and deleting one entry leaves
//   exactly the other entries, in their order.

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "common/ScriptedOperator.h"
#include "core/metrics/SpotColorText.h"
#include "core/metrics/SpotLibraryFile.h"
#include "core/settings/Settings.h"
#include "core/station/SharedRecord.h"

namespace {

using lt::fuzz::check;

std::vector<const lt::SpotColorEntry*> pointersTo(const std::vector<lt::SpotColorEntry>& entries)
{
    std::vector<const lt::SpotColorEntry*> pointers;
    for (const lt::SpotColorEntry& entry : entries)
        pointers.push_back(&entry);
    return pointers;
}

void checkSaveLoadRoundTrip(std::string_view text)
{
    const lt::SpotFileContent read = lt::parseSpotFileText(text);
    const std::string saved = lt::formatSpotFileText(pointersTo(read.entries));
    const lt::SpotFileContent reread = lt::parseSpotFileText(saved);
    check(reread.hasSignature, "saved file lost its signature");
    check(
        reread.entries.size() == read.entries.size(), "save and load lost entries; saved:", saved);
    for (std::size_t i = 0; i < read.entries.size(); ++i)
        check(
            reread.entries[i].kind == read.entries[i].kind, "entry kind changed by save and load");
    const std::string savedAgain = lt::formatSpotFileText(pointersTo(reread.entries));
    check(savedAgain == saved, "a second save differs from the first:", savedAgain);
}

void checkDeletion(int choice, const std::string& path)
{
    lt::testing::ScriptedOperator op;
    lt::Settings settings(lt::fuzz::scratch().path());
    lt::SharedRecord record;
    lt::LoadSpotFile(record, op, path);
    const std::vector<std::string> before = lt::spotColorChoices(record);
    if (before.size() < 2)
        return;
    const int position = 1 + choice % static_cast<int>(before.size() - 1);
    lt::deleteSpotColorChoice(record, settings, op, position);
    std::vector<std::string> expected = before;
    expected.erase(expected.begin() + position);
    const std::vector<std::string> after = lt::spotColorChoices(record);
    check(after.size() == expected.size(), "deleting one entry changed the count by more");
    for (std::size_t i = 0; i < expected.size(); ++i)
        check(after[i] == expected[i], "deleting one entry changed another:", after[i]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lt::fuzz::FuzzInput input(data, size);
    const int choice = input.byte();
    const std::string_view text = input.remaining();
    checkSaveLoadRoundTrip(text);
    checkDeletion(choice, lt::fuzz::scratch().write("SCFile.txt", text));
    return 0;
}
