#include "webservice/url/coreurl.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

namespace CoreUrl {

CParam& CParamList::Param(const QByteArray& name)
{
    for (CParam& param : m_params) {
        if (param.name == name)
            return param;
    }
    m_params.append(CParam{name, QByteArray()});
    return m_params.last();
}

const CParam* CParamList::Find(const QByteArray& name) const
{
    for (const CParam& param : m_params) {
        if (param.name == name)
            return &param;
    }
    return nullptr;
}

void CParamList::RemoveParam(const QByteArray& name)
{
    for (int i = m_params.size() - 1; i >= 0; --i) {
        if (m_params.at(i).name == name)
            m_params.remove(i);
    }
}

void CParamList::Append(const QByteArray& name, const QByteArray& encodedValue)
{
    m_params.append(CParam{name, encodedValue});
}

void CParamList::AddEncodedQuery(const QByteArray& query)
{
    if (query.isEmpty())
        return;
    const QList<QByteArray> pieces = query.split('&');
    for (const QByteArray& piece : pieces) {
        if (piece.isEmpty())
            continue;
        const int eq = piece.indexOf('=');
        if (eq < 0)
            Append(piece, QByteArray());
        else
            Append(piece.left(eq), piece.mid(eq + 1));
    }
}

QByteArray CParamList::EncodedQuery() const
{
    QByteArray out;
    for (const CParam& param : m_params) {
        if (!out.isEmpty())
            out += '&';
        out += param.name;
        out += '=';
        out += param.value;
    }
    return out;
}

CConstructorBase::CConstructorBase(const QString& url)
{
    const int mark = url.indexOf(QLatin1Char('?'));
    if (mark < 0) {
        m_base = url;
        return;
    }
    m_base = url.left(mark);
    QString query = url.mid(mark + 1);
    const int hash = query.indexOf(QLatin1Char('#'));
    if (hash >= 0)
        query.truncate(hash);
    m_query.AddEncodedQuery(query.toUtf8());
}

QUrl CConstructorBase::GetUrl() const
{
    QByteArray text = m_base.toUtf8();
    if (!m_query.IsEmpty())
        text += '?' + m_query.EncodedQuery();
    return QUrl::fromEncoded(text, QUrl::StrictMode);
}

static bool IsUnreserved(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
           || c == '_' || c == '~';
}

QByteArray EncodeValue(const QByteArray& bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        if (IsUnreserved(c)) {
            out += c;
        } else {
            const unsigned char u = static_cast<unsigned char>(c);
            out += '%';
            out += hex[u >> 4];
            out += hex[u & 0x0F];
        }
    }
    return out;
}

static int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

QByteArray DecodeValue(const QByteArray& bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (int i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '%' && i + 2 < bytes.size()) {
            const int hi = HexDigit(bytes.at(i + 1));
            const int lo = HexDigit(bytes.at(i + 2));
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>((hi << 4) | lo);
                i += 2;
                continue;
            }
        }
        out += c;
    }
    return out;
}

void SetParamString(CParam& entry, const QString& text)
{
    entry.value = EncodeValue(text.toUtf8());
}

void SetParamNumber(CParam& entry, qint64 number)
{
    entry.value = EncodeValue(QByteArray::number(number));
}

QByteArray GetParamValue(const CParam& entry)
{
    return DecodeValue(entry.value);
}

QString GetUrlQueryValueUtf8(const CParam& entry)
{
    return QString::fromUtf8(DecodeValue(entry.value));
}

QByteArray HmacSha1(const QByteArray& key, const QByteArray& data)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    static const unsigned char empty = 0;
    const unsigned char* bytes = data.isEmpty() ? &empty : reinterpret_cast<const unsigned char*>(data.constData());
    if (!HMAC(EVP_sha1(), key.constData(), key.size(), bytes, static_cast<size_t>(data.size()), digest, &length))
        return QByteArray();
    return QByteArray(reinterpret_cast<const char*>(digest), static_cast<int>(length));
}

QByteArray HmacHex(const QByteArray& key, const QByteArray& data)
{
    return HmacSha1(key, data).toHex();
}

bool IsWebUrl(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

QUrl ParseWebUrl(const QString& text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    return IsWebUrl(url) ? url : QUrl();
}

} // namespace CoreUrl
