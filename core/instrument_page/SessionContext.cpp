#include "core/instrument_page/SessionContext.h"

#include "core/common/NumberText.h"
#include "core/station/ExchangeWorker.h"
#include "core/station/Workstation.h"
#include "instrument/include/LtStatus.h"

namespace lt {

namespace {

const char* const kCommTroublePrefix = "Trouble with Comm ";
const char* const kCommTroubleReasons =
    "\n\rPossible reasons: \nno instrument power, wrong port, port not present or occupied !";

} // namespace

SessionContext::SessionContext(Workstation& workstation, Beeper beeper)
    : station(workstation), beep(std::move(beeper))
{
}

int SessionContext::measureMode() const
{
    return station.record().measureMode;
}

bool SessionContext::beepOn() const
{
    return station.record().beepOption != 0;
}

bool SessionContext::cancelled() const
{
    return runningExchange != nullptr && runningExchange->cancelRequested();
}

void SessionContext::report(const std::string& step, int done, int total, unsigned paceMs)
{
    if (runningExchange)
        runningExchange->report(step, done, total, paceMs);
}

void SessionContext::changed()
{
    if (onChange)
        onChange();
}

void SessionContext::finished(
    const char* action, unsigned long status, bool measurement, std::string problem)
{
    if (!onOutcome)
        return;
    // A measurement's small codes are the instrument's answers, not failures.
    const bool failed =
        !problem.empty() || (measurement ? isLinkFailure(status) : !isSuccess(status));
    onOutcome({action, status, port, measurement, failed, std::move(problem)});
}

void SessionContext::beepSuccess()
{
    if (beepOn() && beep)
        beep(kBeepHz, kShortBeepMs);
}

void SessionContext::beepFailure()
{
    if (!beepOn() || !beep)
        return;
    for (unsigned long frequency : {kBeepHz, kHighBeepHz, kBeepHz, kHighBeepHz})
        beep(frequency, kShortBeepMs);
}

void SessionContext::startRemote()
{
    timerRunning = true;
    state.remoteOn = true;
    state.acquire = false;
}

void SessionContext::stopRemote(bool writeSetting)
{
    timerRunning = false;
    state.remoteOn = false;
    if (writeSetting)
        station.settings().store(keys::kRemote, 0);
}

void SessionContext::reportCommTrouble()
{
    const std::string text = std::string(kCommTroublePrefix) + " " + formatInteger(port) +
        " !\r\n " + kCommTroubleReasons;
    station.op().showMessage(text, "", MessageButtons::Ok, MessageIcon::Stop);
}

} // namespace lt
