#pragma once
// What libLTCtl.so shows to its users. The library is built with hidden
// visibility: only the declarations marked here are exported, everything
// else stays internal (the tests that need the internals link the static
// twin, ltctl_static, built from the same objects).

#define LTCTL_EXPORT __attribute__((visibility("default")))
