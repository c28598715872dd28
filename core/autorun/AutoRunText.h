#pragma once
// The words the chart dialog shows for an automatic run: the progress line
// while it lasts and the summary when it ends.
#include <string>

#include "core/autorun/AutoRunObserver.h"

namespace lt {

// "Patch 301 of 928: 04B5, about 12 min 5 s left" ("skipping" before the
// resume point, no estimate before the first patch is measured).
std::string progressText(const AutoRunProgress& progress);

// "Run finished: 928 patches measured, 0 retries, 11 min 58 s." and its
// cancelled and failed counterparts; "" for a run that never started.
std::string summaryText(const AutoRunSummary& summary);

// "45 s", "3 min 5 s", "1 h 2 min".
std::string durationText(int seconds);

} // namespace lt
