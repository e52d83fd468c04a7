#pragma once
// The social-login provider's REST methods (JSON answers, parsed as data, never run as script): a provider
// token for a service user, the provider user's data for a token, and binding a token's user to a service
// user id. Every call carries our API key and a signature over its parameters.
#include <QJsonObject>
#include <QMetaType>
#include <QSet>

#include "webservice/http/httprequest.h"
#include "webservice/url/coreurl.h"

namespace GigyaProtocol {

// The provider's view of a user.
struct CUserData
{
    QString UID;
    bool isSiteUID = false; // the identity is already bound to a service user id (then UID is that id)
    QString email;
    QString nickname;
    QSet<int> providers;    // provider numbers of the connected networks
};

class CProviderRequestBase : public Drelk::CHttpRequestBase
{
    Q_OBJECT
public:
    explicit CProviderRequestBase(QObject* parent = nullptr);

    // Signs a parameter list for the provider: adds apiKey, timestamp and nonce, then "sig" (Base64 of
    // HMAC-SHA1 over the OAuth-style base string, keyed with our provider secret).
    static void SignProviderParams(CoreUrl::CConstructorBase& url, const QByteArray& method);
    // Reads a user record from an answer object.
    static CUserData ParseUserData(const QJsonObject& object);

protected:
    // GET <login api root>/<method>?params.
    HRESULT Prepare(const QString& method, const CoreUrl::CParamList& params);
    HRESULT DoParseResponse(HRESULT result) override;
    // Reads an answer whose errorCode was 0.
    virtual HRESULT DoParseJson(const QJsonObject& object) = 0;
};

// socialize.getToken: a provider access token for a service user id.
class CGetTokenRequest : public CProviderRequestBase
{
    Q_OBJECT
public:
    explicit CGetTokenRequest(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT StartRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot, const QString& userId)
    {
        CGetTokenRequest* request = nullptr;
        return Drelk::SetGuard(guard, Create(receiver, slot, userId, &request), request);
    }
    static HRESULT Create(QObject* receiver, const char* slot, const QString& userId, CGetTokenRequest** request);

    HRESULT Modify(const QString& userId);

signals:
    void WhenCompleted(int result, const QString& token);

protected:
    HRESULT DoParseJson(const QJsonObject& object) override;
    void DoEmitCompleted() override;

private:
    QString m_token;
};

// socialize.getUserInfo: the user behind a provider token.
class CGetUserInfoRequest : public CProviderRequestBase
{
    Q_OBJECT
public:
    explicit CGetUserInfoRequest(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT StartRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot, const QString& token)
    {
        CGetUserInfoRequest* request = nullptr;
        return Drelk::SetGuard(guard, Create(receiver, slot, token, &request), request);
    }
    static HRESULT Create(QObject* receiver, const char* slot, const QString& token, CGetUserInfoRequest** request);

    HRESULT Modify(const QString& token);
    const CUserData& GetUserData() const { return m_user; }

signals:
    void WhenCompleted(int result, const GigyaProtocol::CUserData& user);

protected:
    HRESULT DoParseJson(const QJsonObject& object) override;
    void DoEmitCompleted() override;

private:
    CUserData m_user;
};

// socialize.setUID: binds the token's provider user to a service user id.
class CSetUidRequest : public CProviderRequestBase
{
    Q_OBJECT
public:
    explicit CSetUidRequest(QObject* parent = nullptr);

    template <class TGuard>
    static HRESULT StartRequest(QPointer<TGuard>& guard, QObject* receiver, const char* slot, const QString& token,
                                const QString& userId)
    {
        CSetUidRequest* request = nullptr;
        return Drelk::SetGuard(guard, Create(receiver, slot, token, userId, &request), request);
    }
    static HRESULT Create(QObject* receiver, const char* slot, const QString& token, const QString& userId,
                          CSetUidRequest** request);

    HRESULT Modify(const QString& token, const QString& userId);

signals:
    void WhenCompleted(int result);

protected:
    HRESULT DoParseJson(const QJsonObject& object) override;
    void DoEmitCompleted() override;
};

} // namespace GigyaProtocol

Q_DECLARE_METATYPE(GigyaProtocol::CUserData)
