#pragma once
// Where the program keeps its settings and finds the files it ships.
#include <string>

namespace lt {

// Settings files and the spot-colour scratch file live here:
// $LTRAKW_CONFIG_DIR, else $XDG_CONFIG_HOME/ltrakw, else ~/.config/ltrakw.
std::string configDirectory();

// Observer/illuminant tables and pictures: $LTRAKW_DATA_DIR, else the
// installed share/ltrakw, else the source tree's data/.
std::string dataDirectory();

// The user's home directory ($HOME, else the password database, else "/tmp").
std::string homeDirectory();

// A file name from the settings: absolute names stay, relative ones are
// taken inside the config directory.
std::string resolveConfigPath(const std::string& fileName);

// A file inside the data directory.
std::string dataFile(const std::string& fileName);

// Windows-style default paths such as "C:\TMP\name" become "$HOME/name".
std::string homeDefaultPath(const std::string& fileName);

// Creates the config directory (and its parents) when missing; false when
// that was not possible.
bool ensureConfigDirectory();

} // namespace lt
