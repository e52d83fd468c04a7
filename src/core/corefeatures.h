#pragma once
// The build's feature flags 0..33, held for the process only.
namespace CoreFeatures {

// Flag numbers read by the program.
enum
{
    FeatureAds = 1,
    FeatureInterfaceLanguageMenu = 2,
    FeatureFullScreenInsteadOfMaximise = 4,
    FeatureRestoreMaximised = 5,
    FeatureLyricLanguageList = 9,
    FeatureSizeGrip = 11,
    FeaturePlayThroughNowPlayingList = 14,
    FeatureSyncSizeBarrier = 18,
    FeatureTray = 22,
    FeatureUpdateCheck = 23,
    FeatureSignInOptional = 26,
    FeatureDeveloperMenuLock = 29,
    FeatureWmpSortByTitle = 30,
    FeaturePlayerNotInstalled = 31,
    FeatureFakeAlbumArtForMissing = 32,
    FeatureNoDevice = 33,
    FeatureCount = 34
};

// Flag n; false outside 0..33.
bool IsFeatureEnabled(int n);

// True for 1..33 while the developer-menu lock (29) is off.
bool CanChangeFeature(int n);

// Sets flag n when it may change and logs it; false (logged) when it may not.
bool SetFeatureEnabled(int n, bool on);

// Fills the table with the build's defaults (start-up).
void InitializeFeatures();

} // namespace CoreFeatures
