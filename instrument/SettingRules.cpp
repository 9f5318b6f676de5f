#include "instrument/SettingRules.h"

#include <array>
#include <cstddef>

namespace {

using C = SettingChange;
using E = AccessoryEffect;

struct Rule {
    SettingChange change;
    AccessoryEffect effect;
};

// Data measured under the old value that would be drawn wrongly under the new one is cleared:
// another mode or band, another attenuation step, another demonstration scene or time base. A
// change the accessory compares against (trigger settings, the external offset the trigger level
// is sent net of, the scan switch) only reconfigures. The level handle also clears: a new level
// re-arms a taken single shot, and the capture it replaces must not stay on screen.
constexpr std::array<Rule, static_cast<size_t>(C::kCount)> kRules = {{
    {C::kSpectrumMode, E::kReconfigureClearingData},
    {C::kSpectrumView, E::kNone},
    {C::kBand, E::kReconfigureClearingData},
    // The description that lacks 5 GHz has corrected the settings the link sends already.
    {C::kBandFallback, E::kNone},
    {C::kSsidScan, E::kReconfigure},
    {C::kRefreshInterval, E::kNone},
    {C::kTraceProcessing, E::kNone},
    {C::kInternalAttenuation, E::kReconfigureClearingData},
    {C::kExternalAttenuation, E::kReconfigure},
    {C::kTrigger, E::kReconfigure},
    {C::kTriggerLevelHandle, E::kReconfigureClearingData},
    {C::kTriggerDelayHandle, E::kReconfigure},
    {C::kPowerScales, E::kReconfigure},
    {C::kDemoTimeBase, E::kReconfigureClearingData},
    {C::kDemoSignal, E::kReconfigureClearingData},
    {C::kDemoHardware, E::kRestartPlayback},
    {C::kDemoScene, E::kNone},
    {C::kDisplay, E::kNone},
    {C::kCursors, E::kNone},
    {C::kPowerMeasurements, E::kNone},
    {C::kConfiguration, E::kReconfigureClearingData},
}};

// The table is indexed by the enum: an entry out of place would give a change another's rule.
constexpr bool inOrder() {
    for (size_t i = 0; i < kRules.size(); ++i) {
        if (static_cast<size_t>(kRules[i].change) != i)
            return false;
    }
    return true;
}
static_assert(inOrder(), "one rule per change, in the order of SettingChange");

const Rule* ruleOf(SettingChange change) {
    const auto i = static_cast<size_t>(change);
    return i < kRules.size() ? &kRules[i] : nullptr;
}

}  // namespace

AccessoryEffect SettingRules::effectOf(SettingChange change) {
    const Rule* rule = ruleOf(change);
    return rule ? rule->effect : E::kNone;
}
