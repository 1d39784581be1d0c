#include "app/tools/SleepTimer.h"

#include <algorithm>

namespace vorlane {

void TSleepTimer::SetMinutes(int minutes)
{
    vMinutes = minutes;
    vText = QString::number(minutes);
}

void TSleepTimer::StepUp()
{
    if (vMinutes < kMaxMinutes)
        SetMinutes(vMinutes + 1);
}

void TSleepTimer::StepDown()
{
    if (vMinutes > 1)
        SetMinutes(vMinutes - 1);
}

QString TSleepTimer::EditMinutes(const QString &text)
{
    if (text.isEmpty() || text == QLatin1String("0")) {
        SetMinutes(1);
        return vText;
    }
    bool ok = false;
    const int minutes = text.toInt(&ok);
    // The field takes digits only, so a sign or a space here did not come from typing.
    const bool digits =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (ok && digits && minutes >= 1 && minutes <= kMaxMinutes) {
        vMinutes = minutes;
        vText = text;
    }
    return vText;
}

void TSleepTimer::ChooseAction(TSleepAction action)
{
    vAction = action;
    vApplyEnabled = true;
}

void TSleepTimer::Apply(qint64 nowMs)
{
    vActionAt = nowMs + vMinutes * kMinuteMs;
    // With one minute the warning would come at the moment of arming: there is none.
    if (vMinutes > 1)
        vWarningAt = nowMs + (vMinutes - 1) * kMinuteMs;
    else
        vWarningAt.reset();
    vApplyEnabled = false;
}

void TSleepTimer::Disable()
{
    vActionAt.reset();
    vWarningAt.reset();
    vApplyEnabled = true;
}

std::vector<TSleepEvent> TSleepTimer::Due(qint64 nowMs)
{
    std::vector<TSleepEvent> events;
    if (vWarningAt && nowMs >= *vWarningAt) {
        vWarningAt.reset();
        if (vAction != TSleepAction::None)
            events.push_back({TSleepEvent::Kind::Warning, vAction});
    }
    if (vActionAt && nowMs >= *vActionAt) {
        vActionAt.reset();
        vWarningAt.reset();
        vApplyEnabled = true;
        SetMinutes(1);
        events.push_back({TSleepEvent::Kind::Action, vAction});
    }
    return events;
}

const char *SleepArmedMessageKey(TSleepAction action)
{
    switch (action) {
    case TSleepAction::StopPlayback: return "SM_PLAYERSTOPTIME";
    case TSleepAction::CloseProgram: return "SM_PROGRAMCLOSETIME";
    case TSleepAction::PowerDown: return "SM_COMPUTERSHUTDOWNTIME";
    case TSleepAction::None: break;
    }
    return "";
}

const char *SleepWarningMessageKey(TSleepAction action)
{
    switch (action) {
    case TSleepAction::StopPlayback: return "SM_PLAYERSTOPTIMEALARM";
    case TSleepAction::CloseProgram: return "SM_PROGRAMCLOSETIMEALARM";
    case TSleepAction::PowerDown: return "SM_COMPUTERSHUTDOWNTIMEALARM";
    case TSleepAction::None: break;
    }
    return "";
}

} // namespace vorlane
