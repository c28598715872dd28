#pragma once
// The spot-colour library and its file: loading, saving, deleting an entry
// (the compacted library saved to the scratch file in the config directory) and the
// selection as the "Spot Colors:" combo box offers it ("none", then every
// entry that is not deleted).
#include <cstddef>
#include <string>
#include <vector>

namespace lt {

class Operator;
class Settings;
class Workstation;
struct SharedRecord;

inline constexpr const char* kSpotScratchFileName = "SpotTmp.txt";
inline constexpr const char* kNoValidFileMessage = "No valid file selected !";
inline constexpr const char* kLoadSpotColorsTitle = "Load Spot Colors";
inline constexpr const char* kSaveSpotColorsTitle = "Save Spot Colors";
inline constexpr const char* kNoSpotColorFileMessage = "This is no SpotColor file !";
inline constexpr const char* kDamagedSpotColorFileMessage = "Damaged SpotColor file !";

struct SpotFileProblem;

// "Damaged SpotColor file !", the file, the line and what is wrong there,
// and how many spot colours before it were loaded.
std::string damagedSpotFileMessage(
    const std::string& path, const SpotFileProblem& problem, std::size_t entriesRead);

// Replaces the library's entries with those of the file and selects "none".
// A file that cannot be opened changes nothing; a file without the spot-file
// signature empties the library ("This is no SpotColor file !"); a damaged
// file gives the complete entries before the damage. The path becomes the
// library path in use. Returns false when the file could not be opened.
bool LoadSpotFile(SharedRecord& record, Operator& op, const std::string& path);

// Writes the narrow and wide entries in library order, replacing the file as
// a whole. Reports "Wrong Path or no Space: <path>" or "Write file failed!";
// the previous file then stays as it was.
bool SaveSpotFile(const SharedRecord& record, Operator& op, const std::string& path);

// The combo box texts: "none", then the names of the entries not deleted.
std::vector<std::string> spotColorChoices(const SharedRecord& record);

// Combo box position 0 ... : the matching entry becomes the current spot
// colour; "none" also returns to absolute densities (paper-white state and
// spot solid state 0).
void selectSpotColorChoice(SharedRecord& record, int position);

// Deletes the entry at combo position (not "none"), selects the entry above
// it, compacts the library and writes it to the scratch file, which then
// becomes the library file ("SCFile"); no other entry is dropped. Returns the combo position selected now, or
// the position unchanged when nothing was deleted.
int deleteSpotColorChoice(SharedRecord& record, Settings& settings, Operator& op, int position);

// "Load Spot Colors": asks for a file (starting at "SCFile"), remembers it
// as "SCFile" and loads it. Cancelling tells "No valid file selected !".
// True when the library was replaced.
bool loadChosenSpotFile(Workstation& workstation);

// "SaveSpotColors": asks for a file name (starting at "SCFile") and writes
// the library there; only a file written completely becomes "SCFile".
bool saveChosenSpotFile(Workstation& workstation);

// Where deleting compacts the library: "SpotTmp.txt" beside the settings.
std::string spotScratchPath(Settings& settings);

// A relative file name from the settings, taken inside the settings' directory.
std::string settingsRelativePath(Settings& settings, const std::string& fileName);

} // namespace lt
