#include "engine/PavixSteps.h"

#include "engine/PavixGames.h"

#include <QTimer>
#include <cmath>
#include <map>
#include <algorithm>

namespace PavixGames {

namespace {

struct ManualStep {
    double due;
    std::function<void()> run;
};

StepId g_next = 1;
bool g_manual = false;
double g_manualNow = 0.0;
// Manual steps by (due time, id): equal times run in the order scheduled.
std::map<std::pair<double, StepId>, std::function<void()>> g_manualSteps;
// Real timers by id, deleted when they fire or are cancelled.
std::map<StepId, QTimer*> g_timers;

void RunManual(std::map<std::pair<double, StepId>, std::function<void()>>::iterator it)
{
    g_manualNow = std::max(g_manualNow, it->first.first);
    const std::function<void()> run = std::move(it->second);
    g_manualSteps.erase(it);
    run();
}

} // namespace

double ManualNow()
{
    return g_manualNow;
}

StepId After(double seconds, std::function<void()> step)
{
    const StepId id = g_next++;
    if (!std::isfinite(seconds) || seconds < 0)
        seconds = 0;
    if (g_manual) {
        g_manualSteps.emplace(std::pair(g_manualNow + seconds, id), std::move(step));
        return id;
    }
    auto* timer = new QTimer;
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    g_timers[id] = timer;
    QObject::connect(timer, &QTimer::timeout, timer, [id, timer, run = std::move(step)] {
        g_timers.erase(id);
        timer->deleteLater();
        run();
    });
    timer->start(int(std::lround(std::min(seconds, 1e6) * 1000.0)));
    return id;
}

void Cancel(StepId id)
{
    if (const auto t = g_timers.find(id); t != g_timers.end()) {
        t->second->stop();
        t->second->deleteLater();
        g_timers.erase(t);
        return;
    }
    for (auto it = g_manualSteps.begin(); it != g_manualSteps.end(); ++it)
        if (it->first.second == id) {
            g_manualSteps.erase(it);
            return;
        }
}

bool Pending(StepId id)
{
    if (g_timers.count(id))
        return true;
    for (const auto& step : g_manualSteps)
        if (step.first.second == id)
            return true;
    return false;
}

int PendingSteps()
{
    return int(g_timers.size() + g_manualSteps.size());
}

void UseManualClock(bool manual, double start)
{
    DropAllSteps();
    g_manual = manual;
    g_manualNow = start;
}

bool ManualClock()
{
    return g_manual;
}

int AdvanceClock(double seconds)
{
    const double until = g_manualNow + seconds;
    int run = 0;
    while (!g_manualSteps.empty() && g_manualSteps.begin()->first.first <= until) {
        RunManual(g_manualSteps.begin());
        ++run;
    }
    g_manualNow = std::max(g_manualNow, until);
    return run;
}

bool RunNextStep()
{
    if (g_manualSteps.empty())
        return false;
    RunManual(g_manualSteps.begin());
    return true;
}

void DropAllSteps()
{
    g_manualSteps.clear();
    for (auto& [id, timer] : g_timers) {
        timer->stop();
        timer->deleteLater();
    }
    g_timers.clear();
}

} // namespace PavixGames
