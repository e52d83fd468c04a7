#include "webservice/url/oauth.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <algorithm>

namespace OAuth {

using CoreUrl::CParam;
using CoreUrl::EncodeValue;

QByteArray NormalizedUrl(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    QByteArray out = scheme.toLatin1() + "://" + QUrl::toAce(url.host().toLower());
    const int port = url.port();
    const bool defaultPort =
        port < 0 || (scheme == QLatin1String("http") && port == 80) || (scheme == QLatin1String("https") && port == 443);
    if (!defaultPort)
        out += ':' + QByteArray::number(port);
    QByteArray path = url.path(QUrl::FullyEncoded).toLatin1();
    if (path.isEmpty())
        path = "/";
    return out + path;
}

QByteArray NormalizedParameters(const QVector<CParam>& params)
{
    QVector<QPair<QByteArray, QByteArray>> encoded;
    encoded.reserve(params.size());
    for (const CParam& param : params) {
        const QByteArray name = CoreUrl::DecodeValue(param.name);
        if (name == "oauth_signature")
            continue;
        encoded.append(qMakePair(EncodeValue(name), EncodeValue(CoreUrl::DecodeValue(param.value))));
    }
    std::sort(encoded.begin(), encoded.end());
    QByteArray out;
    for (const auto& pair : qAsConst(encoded)) {
        if (!out.isEmpty())
            out += '&';
        out += pair.first + '=' + pair.second;
    }
    return out;
}

QByteArray BaseString(const QByteArray& method, const QUrl& url, const QVector<CParam>& params)
{
    return method.toUpper() + '&' + EncodeValue(NormalizedUrl(url)) + '&' + EncodeValue(NormalizedParameters(params));
}

QByteArray Signature(const QByteArray& baseString, const QByteArray& consumerSecret, const QByteArray& tokenSecret)
{
    const QByteArray key = EncodeValue(consumerSecret) + '&' + EncodeValue(tokenSecret);
    return CoreUrl::HmacSha1(key, baseString).toBase64();
}

QByteArray MakeNonce()
{
    const quint64 value = QRandomGenerator::system()->generate64();
    return QByteArray::number(value, 16).rightJustified(16, '0');
}

void Sign(CoreUrl::CConstructorBase& request, const QByteArray& method, const CCredentials& credentials,
          const QByteArray& nonce, qint64 timestamp)
{
    CoreUrl::CParamList& target = method.toUpper() == "POST" ? request.Body() : request.Query();
    target.RemoveParam("oauth_signature");
    target.Param("oauth_consumer_key").value = EncodeValue(credentials.consumerKey);
    target.Param("oauth_nonce").value = EncodeValue(nonce.isEmpty() ? MakeNonce() : nonce);
    target.Param("oauth_signature_method").value = "HMAC-SHA1";
    const qint64 stamp = timestamp < 0 ? QDateTime::currentSecsSinceEpoch() : timestamp;
    target.Param("oauth_timestamp").value = QByteArray::number(stamp);
    if (!credentials.token.isEmpty())
        target.Param("oauth_token").value = EncodeValue(credentials.token);
    else
        target.RemoveParam("oauth_token");
    target.Param("oauth_version").value = "1.0";

    QVector<CParam> all = request.Query().Params();
    all += request.Body().Params();
    const QUrl url(request.GetBaseUrl());
    const QByteArray base = BaseString(method, url, all);
    target.Param("oauth_signature").value =
        EncodeValue(Signature(base, credentials.consumerSecret, credentials.tokenSecret));
}

} // namespace OAuth
