#pragma once
// Query building for service addresses: ordered parameter lists whose values are kept percent-encoded,
// the strict (RFC 3986 unreserved) encoding that OAuth signing needs, and HMAC helpers.
#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVector>

namespace CoreUrl {

// One (name, value) pair; the value is kept encoded, as it travels.
struct CParam
{
    QByteArray name;
    QByteArray value;
};

// Ordered list of parameters; names are unique only when callers use Param().
class CParamList
{
public:
    // Finds the first pair with this name, or appends an empty one.
    CParam& Param(const QByteArray& name);
    const CParam* Find(const QByteArray& name) const;
    void RemoveParam(const QByteArray& name);
    // Appends a pair as it stands (a repeated name stays repeated).
    void Append(const QByteArray& name, const QByteArray& encodedValue);
    // Splits at "&" and each piece at its first "="; the pairs are appended as they stand.
    void AddEncodedQuery(const QByteArray& query);
    // name "=" value joined with "&"; empty for an empty list.
    QByteArray EncodedQuery() const;

    const QVector<CParam>& Params() const { return m_params; }
    bool IsEmpty() const { return m_params.isEmpty(); }
    int Count() const { return m_params.size(); }
    void Clear() { m_params.clear(); }

private:
    QVector<CParam> m_params;
};

// Base URL (without query) plus its query list; the body list is for form POSTs.
class CConstructorBase
{
public:
    explicit CConstructorBase(const QString& url);

    CParam& Param(const QByteArray& name) { return m_query.Param(name); }
    CParamList& Query() { return m_query; }
    const CParamList& Query() const { return m_query; }
    CParamList& Body() { return m_body; }
    const CParamList& Body() const { return m_body; }

    // The base URL as given, without its query.
    QString GetBaseUrl() const { return m_base; }
    // Base URL with the encoded query, pairs in insertion order.
    QUrl GetUrl() const;

private:
    QString m_base;
    CParamList m_query;
    CParamList m_body;
};

// Percent-encoding that keeps only A-Z a-z 0-9 - . _ ~ (upper-case hex digits).
QByteArray EncodeValue(const QByteArray& bytes);
// Decodes %XX sequences; malformed sequences stay as they are.
QByteArray DecodeValue(const QByteArray& bytes);

void SetParamString(CParam& entry, const QString& text);
void SetParamNumber(CParam& entry, qint64 number);
QByteArray GetParamValue(const CParam& entry);
QString GetUrlQueryValueUtf8(const CParam& entry);

// HMAC-SHA1: raw digest, and lower-case hexadecimal text.
QByteArray HmacSha1(const QByteArray& key, const QByteArray& data);
QByteArray HmacHex(const QByteArray& key, const QByteArray& data);

// True for http and https URLs with a host: the only ones the program follows or opens.
bool IsWebUrl(const QUrl& url);
// Parses text from the network into a URL; anything but http(s) gives an empty URL.
QUrl ParseWebUrl(const QString& text);

} // namespace CoreUrl
