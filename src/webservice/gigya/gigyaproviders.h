#pragma once
// The social-login provider's numbering of the social networks it signs users in with.
#include <QSet>
#include <QString>
#include <QStringList>

#include "core/translatedstring.h"

namespace Gigya {

enum EProvider
{
    ProviderFacebook = 3,
    ProviderTwitter = 20
};

// The display name: "Facebook" for 3, "Twitter" for 20; empty outside 1..25 and for numbers we do not use.
CTranslatedStringDesc GetProviderDesc(int provider);
// The lower-case id text: "facebook" for 3, "twitter" for 20; empty outside 0..25 and for unused numbers.
QString GetProviderId(int provider);
// The id texts of the set, in ascending number order, empty ones skipped.
QStringList GetProviderIdList(const QSet<int>& providers);
// The number of an id text (case ignored); -1 when unknown.
int GetProviderById(const QString& id);

} // namespace Gigya
