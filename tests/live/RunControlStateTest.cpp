// Which run controls show as the instrument's replies and the timer move the page along.
#include "live/RunControlState.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace kv58 {
namespace {

RunControlVisibility shown(std::initializer_list<bool RunControlVisibility::*> members)
{
    RunControlVisibility v;
    for (auto m : members)
        v.*m = true;
    return v;
}

using V = RunControlVisibility;
const V kHidden{};
const V kReady = shown({&V::startBox, &V::runButtons, &V::systemBox});
const V kPoweringOn = shown({&V::runButtons});

struct Step {
    const char* event;
    std::function<void(RunControlState&)> apply;
    RunControlPhase phase;
    int kind;
    V visible;
};

TEST(RunControlState, FollowsTheInstrumentThroughAllStates)
{
    const std::vector<Step> steps = {
        {"taken into use", &RunControlState::switchedOff, RunControlPhase::Off, 0, kHidden},
        {"POWER IS ON", &RunControlState::poweredOn, RunControlPhase::PoweringOn, 0, kPoweringOn},
        {"Timer2", &RunControlState::readyTimerFired, RunControlPhase::Ready, 0, kReady},
        {"IRRADIATION STARTED", [](RunControlState& s) { s.runStarted(1); }, RunControlPhase::Running, 1,
         shown({&V::startBox, &V::stopButton, &V::measureBox, &V::offsetButton})},
        {"MEASUREMENT STOPPED", &RunControlState::runEnded, RunControlPhase::Ready, 0, kReady},
        {"TRANSMISSION STARTED", [](RunControlState& s) { s.runStarted(2); }, RunControlPhase::Running, 2,
         shown({&V::startBox, &V::stopButton, &V::measureBox, &V::button100})},
        {"SENSOR LOST", &RunControlState::runEnded, RunControlPhase::Ready, 0, kReady},
        {"RELATION STARTED", [](RunControlState& s) { s.runStarted(3); }, RunControlPhase::Running, 3,
         shown({&V::startBox, &V::stopButton, &V::measureBox, &V::button100, &V::swapButton})},
        {"KV58 IS OFF", &RunControlState::switchedOff, RunControlPhase::Off, 0, kHidden},
        {"POWER IS ON again", &RunControlState::poweredOn, RunControlPhase::PoweringOn, 0, kPoweringOn},
        {"unplugged", &RunControlState::instrumentGone, RunControlPhase::NoInstrument, 0, kHidden},
    };
    RunControlState state;
    EXPECT_EQ(state.phase(), RunControlPhase::NoInstrument);
    EXPECT_EQ(state.visibility(), kHidden);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.event);
        step.apply(state);
        EXPECT_EQ(state.phase(), step.phase);
        EXPECT_EQ(state.runKind(), step.kind);
        EXPECT_EQ(state.visibility(), step.visible);
    }
}

TEST(RunControlState, PoweringOnLeavesTheInRunButtonsAsTheyWere)
{
    RunControlState state;
    state.runStarted(3); // the instrument started a relation run from its own keys
    state.poweredOn();
    EXPECT_EQ(state.visibility(), shown({&V::runButtons, &V::button100, &V::swapButton}));
}

TEST(RunControlState, LateReadyTimerDoesNotShowStartControls)
{
    // The timer started while powering on fires after the instrument went off, went away or began
    // a run from its own keys: the page stays as it is.
    const std::vector<std::pair<const char*, std::function<void(RunControlState&)>>> cases = {
        {"switched off", &RunControlState::switchedOff},
        {"unplugged", &RunControlState::instrumentGone},
        {"run started", [](RunControlState& s) { s.runStarted(1); }},
    };
    for (const auto& [name, event] : cases) {
        SCOPED_TRACE(name);
        RunControlState state;
        state.poweredOn();
        event(state);
        const RunControlPhase phase = state.phase();
        const RunControlVisibility visible = state.visibility();
        state.readyTimerFired();
        EXPECT_EQ(state.phase(), phase);
        EXPECT_EQ(state.visibility(), visible);
    }
}

} // namespace
} // namespace kv58
