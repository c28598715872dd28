#pragma once
// The density parameters between the settings file and the
// DensityParameterBlock: the ten slopes and Yule-Nielsen factors, filter,
// illuminant and observer.
#include "core/metrics/DensityParameterBlock.h"
#include "core/settings/Settings.h"

namespace lt {

// Reads the thirteen keys into the block and writes each straight back (the
// real numbers as the text read). A text that is not a number keeps what the
// block holds.
void loadDensityParameters(Settings& settings, DensityParameterBlock& block);

// After the density parameters dialog: the slopes and factors of the four
// process colours with "%f", filter, illuminant and observer as integers.
void storeDensityParameters(Settings& settings, const DensityParameterBlock& block);

} // namespace lt
