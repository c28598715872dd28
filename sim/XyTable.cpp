#include "XyTable.h"

#include <cmath>
#include <cstdlib>

namespace ltsim {

namespace {

constexpr double kSpeed = 20.0; // [table units per ms]
constexpr unsigned kSettleMs = 30; // [ms] after each move

} // namespace

bool XyTable::moveTo(int x, int y)
{
    if (!withinTravel(x, y)) {
        lastMoveMs_ = 0;
        return false;
    }
    double distance = std::hypot(x - bench_.head.x, y - bench_.head.y);
    lastMoveMs_ = static_cast<unsigned>(distance / kSpeed) + kSettleMs;
    bench_.head = {x, y};
    return true;
}

bool XyTable::moveBy(int dx, int dy)
{
    return moveTo(bench_.head.x + dx, bench_.head.y + dy);
}

} // namespace ltsim
