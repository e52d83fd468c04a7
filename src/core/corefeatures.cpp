#include "core/corefeatures.h"

#include <atomic>
#include <utility>

#include "core/log.h"

namespace CoreFeatures {

namespace {

constexpr bool IsDefaultOn(int n)
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

template <class Numbers>
struct CFlagTable;

template <int... N>
struct CFlagTable<std::integer_sequence<int, N...>>
{
    std::atomic<bool> flags[sizeof...(N)] = {IsDefaultOn(N)...};
    std::atomic<bool>& operator[](int n) { return flags[n]; }
};

// Read from any thread, changed on the main thread only. Holds the defaults from the start (constant
// initialisation) so that nothing reads an unfilled table.
CFlagTable<std::make_integer_sequence<int, FeatureCount>> s_flags;

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
