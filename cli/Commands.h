#pragma once
// The commands of ltrak; each takes the words after its name and returns
// the exit status.
#include <string>
#include <vector>

namespace ltrak {

int measureCommand(const std::vector<std::string>& words);
int chartCommand(const std::vector<std::string>& words);
int firmwareCommand(const std::vector<std::string>& words);

} // namespace ltrak
