#include "webservice/serviceconfig.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>

namespace ServiceConfig {

const char ConsumerKey[] = "5f0c2e9a7d41b3c8e6a9f2d17b04c5e3";
const char ConsumerSecret[] = "q8Rt2vXn5LpZ0cWm7Ys4Hd9Kf3Bj6Ge1";
const char ProviderApiKey[] = "3_svDesktopLinuxKey7Qp2";
const char ProviderSecret[] = "Nw4bT9yPz2Kc7Lm5Qx8Rv1Hs6Jd3Ga0E";
const char LocalStorageKeyText[] = "SvLocalStore#2011!";
const char LoginRedirectUri[] = "https://login-callback.sonvero.invalid/done";
const char PlatformName[] = "linux-x86_64";

namespace {

QMutex s_mutex;
QHash<QString, QString> s_overrides;

QString Value(const QString& key, const QString& fallback)
{
    {
        QMutexLocker lock(&s_mutex);
        const auto it = s_overrides.constFind(key);
        if (it != s_overrides.constEnd())
            return it.value();
    }
    QSettings settings;
    const QString value = settings.value(QStringLiteral("service/") + key).toString().trimmed();
    return value.isEmpty() ? fallback : value;
}

QString WithSlash(QString url)
{
    if (!url.endsWith(QLatin1Char('/')))
        url += QLatin1Char('/');
    return url;
}

} // namespace

QString ApiUrl()
{
    return WithSlash(Value(QStringLiteral("api_url"), QStringLiteral("https://api.sonvero.example/")));
}

QString WebUrl()
{
    return WithSlash(Value(QStringLiteral("web_url"), QStringLiteral("https://www.sonvero.example/")));
}

QString AdUrl()
{
    return WithSlash(Value(QStringLiteral("ad_url"), QStringLiteral("https://ads.sonvero.example/")));
}

QString LoginApiUrl()
{
    return WithSlash(Value(QStringLiteral("login_api_url"), QStringLiteral("https://login-api.sonvero.example/")));
}

QString LoginPageUrl()
{
    return Value(QStringLiteral("login_page_url"), QStringLiteral("https://login.sonvero.example/login"));
}

int TimeoutMs()
{
    bool ok = false;
    const int ms = Value(QStringLiteral("timeout_ms"), QString()).toInt(&ok);
    return ok && ms > 0 ? ms : 30000;
}

void SetOverride(const QString& key, const QString& value)
{
    QMutexLocker lock(&s_mutex);
    if (value.isEmpty())
        s_overrides.remove(key);
    else
        s_overrides.insert(key, value);
}

QString Join(const QString& root, const QString& path)
{
    QString left = root;
    while (left.endsWith(QLatin1Char('/')))
        left.chop(1);
    QString right = path;
    while (right.startsWith(QLatin1Char('/')))
        right.remove(0, 1);
    return left + QLatin1Char('/') + right;
}

} // namespace ServiceConfig
