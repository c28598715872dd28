#pragma once
// The parameter message ";160" F "0" E "0" I "0" O CR LF that sets filter,
// extra option, illuminant and observer of the instrument.

#include "instrument/include/TaviSpec.h"
#include "instrument/protocol/GretagLink.h"

namespace lt {

// The calibration sequence and the command entry code the illuminant
// differently (the command entry's code has its own history in the
// instruments' firmware); both forms are kept.
enum class IlluminantCoding {
    Calibration, // 2 "1", 3 "2", 4 "3", 5 "8", other "0"
    Command, // 1 "0", 2 "1", 4 "3", 5 "8", other "2"
};

Message parameterMessage(const GretagStruct& g, IlluminantCoding coding);

} // namespace lt
