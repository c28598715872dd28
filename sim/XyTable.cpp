#include "XyTable.h"

#include <cmath>
#include <cstdlib>

namespace ltsim {

bool XyTable::moveTo(int x, int y)
{
    if (!withinTravel(x, y)) {
        lastMoveMs_ = 0;
        return false;
    }
    double distance = std::hypot(x - bench_.head.x, y - bench_.head.y);
    const TableTravel& travel = bench_.travel;
    lastMoveMs_ = (travel.speed > 0.0 ? static_cast<unsigned>(distance / travel.speed) : 0u) +
        travel.settleMs;
    bench_.head = {x, y};
    return true;
}

bool XyTable::moveBy(int dx, int dy)
{
    return moveTo(bench_.head.x + dx, bench_.head.y + dy);
}

} // namespace ltsim
