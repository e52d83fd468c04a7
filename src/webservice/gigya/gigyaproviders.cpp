#include "webservice/gigya/gigyaproviders.h"

#include <algorithm>

namespace Gigya {

CTranslatedStringDesc GetProviderDesc(int provider)
{
    switch (provider) {
    case ProviderFacebook:
        return CTranslatedStringDesc("Facebook", "Gigya");
    case ProviderTwitter:
        return CTranslatedStringDesc("Twitter", "Gigya");
    default:
        return CTranslatedStringDesc();
    }
}

QString GetProviderId(int provider)
{
    switch (provider) {
    case ProviderFacebook:
        return QStringLiteral("facebook");
    case ProviderTwitter:
        return QStringLiteral("twitter");
    default:
        return QString();
    }
}

QStringList GetProviderIdList(const QSet<int>& providers)
{
    QList<int> numbers = providers.values();
    std::sort(numbers.begin(), numbers.end());
    QStringList ids;
    for (const int number : qAsConst(numbers)) {
        const QString id = GetProviderId(number);
        if (!id.isEmpty())
            ids << id;
    }
    return ids;
}

int GetProviderById(const QString& id)
{
    const QString wanted = id.trimmed().toLower();
    if (wanted.isEmpty())
        return -1;
    for (int n = 0; n <= 25; ++n) {
        if (GetProviderId(n) == wanted)
            return n;
    }
    return -1;
}

} // namespace Gigya
