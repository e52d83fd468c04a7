#pragma once
// OAuth 1.0a request signing with HMAC-SHA1: every web-service request carries its consumer key, a nonce,
// a time stamp and, for a signed-in user, the access token; the signature covers the method, the address
// and every query and form parameter.
#include "webservice/url/coreurl.h"

namespace OAuth {

struct CCredentials
{
    QByteArray consumerKey;
    QByteArray consumerSecret;
    QByteArray token;       // empty for requests not made for a user
    QByteArray tokenSecret;
};

// Lower-case scheme and host, default port dropped, no query or fragment.
QByteArray NormalizedUrl(const QUrl& url);
// Names and decoded values re-encoded strictly, sorted by name then value, joined "name=value" with "&";
// "oauth_signature" is left out.
QByteArray NormalizedParameters(const QVector<CoreUrl::CParam>& params);
// METHOD & enc(url) & enc(parameters).
QByteArray BaseString(const QByteArray& method, const QUrl& url, const QVector<CoreUrl::CParam>& params);
// Base64 of HMAC-SHA1 keyed with enc(consumer secret) & enc(token secret).
QByteArray Signature(const QByteArray& baseString, const QByteArray& consumerSecret, const QByteArray& tokenSecret);

// 16 random lower-case hex digits.
QByteArray MakeNonce();

// Adds the oauth_ parameters (to the body for POST, else to the query) and the signature over the whole
// request. An empty nonce or a negative time stamp takes fresh ones.
void Sign(CoreUrl::CConstructorBase& request, const QByteArray& method, const CCredentials& credentials,
          const QByteArray& nonce = QByteArray(), qint64 timestamp = -1);

} // namespace OAuth
