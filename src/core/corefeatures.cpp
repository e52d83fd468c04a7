#include "core/corefeatures.h"

#include <atomic>

#include "core/log.h"

namespace CoreFeatures {

namespace {

bool IsDefaultOn(int n)
{
    switch (n) {
    case FeatureAds:
    case FeatureInterfaceLanguageMenu:
    case FeatureRestoreMaximised:
    case FeatureLyricLanguageList:
    case FeatureTray:
    case FeatureUpdateCheck:
    case FeatureSignInOptional:
        return true;
    default:
        return false;
    }
}

// Read from any thread, changed on the main thread only. Holds the defaults from the start so that
// nothing reads an unfilled table.
std::atomic<bool> s_flags[FeatureCount] = {
    false, true, true, false, false, true, false, false, false, true,  // 0..9
    false, false, false, false, false, false, false, false, false, false,  // 10..19
    false, false, true, true, false, false, true, false, false, false,  // 20..29
    false, false, false, false,  // 30..33
};

} // namespace

void InitializeFeatures()
{
    for (int n = 0; n < FeatureCount; ++n)
        s_flags[n].store(IsDefaultOn(n));
}

bool IsFeatureEnabled(int n)
{
    if (n < 0 || n >= FeatureCount)
        return false;
    return s_flags[n].load();
}

bool CanChangeFeature(int n)
{
    return n >= 1 && n < FeatureCount && !IsFeatureEnabled(FeatureDeveloperMenuLock);
}

bool SetFeatureEnabled(int n, bool on)
{
    if (!CanChangeFeature(n)) {
        WriteLog("CoreFeatures::SetFeatureEnabled: id=%d can not change", n);
        return false;
    }
    s_flags[n].store(on);
    WriteLog("CoreFeatures::SetFeatureEnabled: id=%d v=%d", n, on ? 1 : 0);
    return true;
}

} // namespace CoreFeatures
