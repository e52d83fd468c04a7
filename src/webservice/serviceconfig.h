#pragma once
// Where the service lives and the keys the program signs with. Base addresses come from the settings group
// "service" (read on every request, so they can change at run time), else from compiled-in defaults.
#include <QString>
#include <QUrl>

namespace ServiceConfig {

// OAuth consumer of the web-service API (the stored account record is keyed with the consumer key too).
extern const char ConsumerKey[];
extern const char ConsumerSecret[];
// Our key and secret at the social-login provider.
extern const char ProviderApiKey[];
extern const char ProviderSecret[];
// Text whose first 16 bytes are the key of locally stored secrets.
extern const char LocalStorageKeyText[];
// The address the login page is told to redirect to; the login popup catches it and never loads it.
extern const char LoginRedirectUri[];
// The platform name sent with the update check.
extern const char PlatformName[];

// Settings keys (group "service").
QString ApiUrl();       // "service/api_url": root of the web-service API, ends with "/"
QString WebUrl();       // "service/web_url": root of the web site
QString AdUrl();        // "service/ad_url": root of the ad server, ends with "/"
QString LoginApiUrl();  // "service/login_api_url": root of the social-login provider's REST methods, ends with "/"
QString LoginPageUrl(); // "service/login_page_url": the provider's login page
int TimeoutMs();        // "service/timeout_ms": a transaction fails after this long without data (30000)

// Overrides for unit tests that run without settings; an empty value removes the override.
void SetOverride(const QString& key, const QString& value);

// Joins a root and a relative path with exactly one "/".
QString Join(const QString& root, const QString& path);

} // namespace ServiceConfig
