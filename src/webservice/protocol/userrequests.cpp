#include "webservice/protocol/userrequests.h"

#include "core/log.h"
#include "core/resultcodes.h"

namespace SonveroProtocol {

// ---- CXAuthAuthorizationRequest

CXAuthAuthorizationRequest::CXAuthAuthorizationRequest(QObject* parent)
    : CServiceRequestBase(parent)
{
}

HRESULT CXAuthAuthorizationRequest::CreateWithPassword(QObject* receiver, const char* slot, const QString& email,
                                                       const QString& password, CXAuthAuthorizationRequest** request)
{
    CXAuthAuthorizationRequest* created = new CXAuthAuthorizationRequest();
    const HRESULT build = receiver && slot ? created->ModifyWithPassword(email, password) : S_OK;
    const HRESULT hr =
        StartAndConnect(created, build, receiver, slot, SIGNAL(WhenCompleted(int, SonveroProtocol::CXAuthData)),
                        "SonveroProtocol::CXAuthAuthorizationRequest::StartRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CXAuthAuthorizationRequest::CreateWithUserId(QObject* receiver, const char* slot, const QString& userId,
                                                     const CXAuthData& access, const QString& providerToken,
                                                     CXAuthAuthorizationRequest** request)
{
    CXAuthAuthorizationRequest* created = new CXAuthAuthorizationRequest();
    const HRESULT build = receiver && slot ? created->ModifyWithUserId(userId, access, providerToken) : S_OK;
    const HRESULT hr =
        StartAndConnect(created, build, receiver, slot, SIGNAL(WhenCompleted(int, SonveroProtocol::CXAuthData)),
                        "SonveroProtocol::CXAuthAuthorizationRequest::StartRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CXAuthAuthorizationRequest::ModifyWithPassword(const QString& email, const QString& password)
{
    if (email.isEmpty() || password.isEmpty()) {
        WriteLog("SonveroProtocol::CXAuthAuthorizationRequest::ModifyWithPassword: e-mail or password missing %x",
                 E_INVALIDARG);
        return E_INVALIDARG;
    }
    CoreUrl::CParamList params;
    params.Param("x_auth_mode").value = "client_auth";
    CoreUrl::SetParamString(params.Param("x_auth_username"), email);
    CoreUrl::SetParamString(params.Param("x_auth_password"), password);
    return Prepare("POST", QStringLiteral("oauth/access_token"), params);
}

HRESULT CXAuthAuthorizationRequest::ModifyWithUserId(const QString& userId, const CXAuthData& access,
                                                     const QString& providerToken)
{
    if (userId.isEmpty()) {
        WriteLog("SonveroProtocol::CXAuthAuthorizationRequest::ModifyWithUserId: no user id %x", E_INVALIDARG);
        return E_INVALIDARG;
    }
    CoreUrl::CParamList params;
    params.Param("x_auth_mode").value = "client_uuid";
    CoreUrl::SetParamString(params.Param("x_auth_uuid"), userId);
    if (!providerToken.isEmpty())
        CoreUrl::SetParamString(params.Param("x_auth_provider_token"), providerToken);
    return Prepare("POST", QStringLiteral("oauth/access_token"), params, access);
}

HRESULT CXAuthAuthorizationRequest::DoParsePayload(QXmlStreamReader& reader)
{
    if (!ReadToChild(reader, "access"))
        return SV_E_BAD_ANSWER;
    m_data = CXAuthData();
    m_data.token = Attr(reader, "token").toUtf8();
    m_data.tokenSecret = Attr(reader, "secret").toUtf8();
    m_data.userId = Attr(reader, "uid");
    reader.skipCurrentElement();
    return m_data.token.isEmpty() || m_data.tokenSecret.isEmpty() ? SV_E_BAD_ANSWER : S_OK;
}

void CXAuthAuthorizationRequest::DoEmitCompleted()
{
    emit WhenCompleted(GetResult(), m_data);
}

// ---- CV2GetUserDataRequest

CV2GetUserDataRequest::CV2GetUserDataRequest(QObject* parent)
    : CServiceRequestBase(parent)
{
}

HRESULT CV2GetUserDataRequest::Create(QObject* receiver, const char* slot, const QString& email,
                                      const QStringList& ids, CV2GetUserDataRequest** request)
{
    CV2GetUserDataRequest* created = new CV2GetUserDataRequest();
    const HRESULT build = receiver && slot ? created->Modify(email, ids) : S_OK;
    const HRESULT hr = StartAndConnect(created, build, receiver, slot,
                                       SIGNAL(WhenCompleted(int, QList<SonveroProtocol::CUserData>)),
                                       "SonveroProtocol::CV2GetUserDataRequest::StartRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CV2GetUserDataRequest::Modify(const QString& email, const QStringList& ids)
{
    CoreUrl::CParamList params;
    if (!email.isEmpty()) {
        CoreUrl::SetParamString(params.Param("email"), email);
    } else {
        QStringList clean;
        for (const QString& id : ids) {
            if (!id.trimmed().isEmpty())
                clean << id.trimmed();
        }
        if (clean.isEmpty()) {
            WriteLog("SonveroProtocol::CV2GetUserDataRequest::Modify: no e-mail and no id %x", E_INVALIDARG);
            return E_INVALIDARG;
        }
        CoreUrl::SetParamString(params.Param("ids"), clean.join(QLatin1Char(',')));
    }
    return Prepare("GET", QStringLiteral("v2/users"), params);
}

HRESULT CV2GetUserDataRequest::DoParsePayload(QXmlStreamReader& reader)
{
    if (!ReadToChild(reader, "users"))
        return SV_E_BAD_ANSWER;
    m_users.clear();
    while (ReadToChild(reader, "user")) {
        CUserData user;
        user.id = Attr(reader, "id");
        user.email = Attr(reader, "email");
        user.name_full = Attr(reader, "name_full");
        user.handle = Attr(reader, "handle");
        user.country = Attr(reader, "country");
        user.preferredLanguage = Attr(reader, "lang1");
        user.secondaryLanguage = Attr(reader, "lang2");
        user.authLevel = IntAttr(reader, "auth", 0);
        user.gender = Attr(reader, "gender");
        user.birthDate = QDate::fromString(Attr(reader, "birth"), Qt::ISODate);
        if (user.id.isEmpty())
            return SV_E_BAD_ANSWER;
        m_users.append(user);
        reader.skipCurrentElement();
    }
    return S_OK;
}

void CV2GetUserDataRequest::DoEmitCompleted()
{
    emit WhenCompleted(GetResult(), m_users);
}

// ---- CV2CreateUserRequest

CV2CreateUserRequest::CV2CreateUserRequest(QObject* parent)
    : CServiceRequestBase(parent)
{
}

HRESULT CV2CreateUserRequest::Create(QObject* receiver, const char* slot, const QString& email,
                                     const QString& password, const QString& nick, bool social,
                                     CV2CreateUserRequest** request)
{
    CV2CreateUserRequest* created = new CV2CreateUserRequest();
    const HRESULT build = receiver && slot ? created->Modify(email, password, nick, social) : S_OK;
    const HRESULT hr = StartAndConnect(created, build, receiver, slot, SIGNAL(WhenCompleted(int, QString)),
                                       "SonveroProtocol::CV2CreateUserRequest::StartRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CV2CreateUserRequest::Modify(const QString& email, const QString& password, const QString& nick, bool social)
{
    if (email.isEmpty() || (!social && password.isEmpty())) {
        WriteLog("SonveroProtocol::CV2CreateUserRequest::Modify: e-mail or password missing %x", E_INVALIDARG);
        return E_INVALIDARG;
    }
    CoreUrl::CParamList params;
    CoreUrl::SetParamString(params.Param("email"), email);
    if (!social)
        CoreUrl::SetParamString(params.Param("password"), password);
    CoreUrl::SetParamString(params.Param("nick"), nick);
    if (social)
        params.Param("provider").value = "gigya";
    return Prepare("POST", QStringLiteral("v2/users"), params);
}

HRESULT CV2CreateUserRequest::DoParsePayload(QXmlStreamReader& reader)
{
    if (!ReadToChild(reader, "user"))
        return SV_E_BAD_ANSWER;
    m_userId = Attr(reader, "id");
    reader.skipCurrentElement();
    return m_userId.isEmpty() ? SV_E_BAD_ANSWER : S_OK;
}

void CV2CreateUserRequest::DoEmitCompleted()
{
    emit WhenCompleted(GetResult(), m_userId);
}

// ---- CV2ResetPasswordRequest

CV2ResetPasswordRequest::CV2ResetPasswordRequest(QObject* parent)
    : CServiceRequestBase(parent)
{
}

HRESULT CV2ResetPasswordRequest::Create(QObject* receiver, const char* slot, const QString& email,
                                        CV2ResetPasswordRequest** request)
{
    CV2ResetPasswordRequest* created = new CV2ResetPasswordRequest();
    const HRESULT build = receiver && slot ? created->Modify(email) : S_OK;
    const HRESULT hr = StartAndConnect(created, build, receiver, slot, SIGNAL(WhenCompleted(int)),
                                       "SonveroProtocol::CV2ResetPasswordRequest::StartRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CV2ResetPasswordRequest::Modify(const QString& email)
{
    if (email.isEmpty()) {
        WriteLog("SonveroProtocol::CV2ResetPasswordRequest::Modify: no e-mail %x", E_INVALIDARG);
        return E_INVALIDARG;
    }
    CoreUrl::CParamList params;
    CoreUrl::SetParamString(params.Param("email"), email);
    return Prepare("POST", QStringLiteral("v2/users/resetpassword"), params);
}

HRESULT CV2ResetPasswordRequest::DoParsePayload(QXmlStreamReader& reader)
{
    reader.skipCurrentElement();
    return S_OK;
}

void CV2ResetPasswordRequest::DoEmitCompleted()
{
    emit WhenCompleted(GetResult());
}

// ---- CV2MergeUsersRequest

CV2MergeUsersRequest::CV2MergeUsersRequest(QObject* parent)
    : CServiceRequestBase(parent)
{
}

HRESULT CV2MergeUsersRequest::Create(QObject* receiver, const char* slot, const QString& providerUserId,
                                     const CXAuthData& access, CV2MergeUsersRequest** request)
{
    CV2MergeUsersRequest* created = new CV2MergeUsersRequest();
    const HRESULT build = receiver && slot ? created->Modify(providerUserId, access) : S_OK;
    const HRESULT hr = StartAndConnect(created, build, receiver, slot, SIGNAL(WhenCompleted(int)),
                                       "SonveroProtocol::CV2MergeUsersRequest::StartRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CV2MergeUsersRequest::Modify(const QString& providerUserId, const CXAuthData& access)
{
    if (providerUserId.isEmpty() || access.IsEmpty()) {
        WriteLog("SonveroProtocol::CV2MergeUsersRequest::Modify: no user id or no access %x", E_INVALIDARG);
        return E_INVALIDARG;
    }
    CoreUrl::CParamList params;
    CoreUrl::SetParamString(params.Param("from"), providerUserId);
    return Prepare("POST", QStringLiteral("v2/users/merge"), params, access);
}

HRESULT CV2MergeUsersRequest::DoParsePayload(QXmlStreamReader& reader)
{
    reader.skipCurrentElement();
    return S_OK;
}

void CV2MergeUsersRequest::DoEmitCompleted()
{
    emit WhenCompleted(GetResult());
}

} // namespace SonveroProtocol
