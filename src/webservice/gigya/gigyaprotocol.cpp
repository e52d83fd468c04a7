#include "webservice/gigya/gigyaprotocol.h"

#include "core/log.h"
#include "core/resultcodes.h"
#include "webservice/gigya/gigyaproviders.h"
#include "webservice/serviceconfig.h"
#include "webservice/url/oauth.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

namespace GigyaProtocol {

namespace {
void RegisterUserDataMetaType()
{
    static const int id = qRegisterMetaType<CUserData>("GigyaProtocol::CUserData");
    Q_UNUSED(id)
}
} // namespace

// ---- CProviderRequestBase

CProviderRequestBase::CProviderRequestBase(QObject* parent)
    : Drelk::CHttpRequestBase(parent)
{
    RegisterUserDataMetaType();
}

void CProviderRequestBase::SignProviderParams(CoreUrl::CConstructorBase& url, const QByteArray& method)
{
    CoreUrl::CParamList& query = url.Query();
    query.RemoveParam("sig");
    query.Param("apiKey").value = CoreUrl::EncodeValue(ServiceConfig::ProviderApiKey);
    query.Param("timestamp").value = QByteArray::number(QDateTime::currentSecsSinceEpoch());
    query.Param("nonce").value = OAuth::MakeNonce();
    const QByteArray base = OAuth::BaseString(method, QUrl(url.GetBaseUrl()), query.Params());
    query.Param("sig").value = CoreUrl::EncodeValue(OAuth::Signature(base, ServiceConfig::ProviderSecret, QByteArray()));
}

CUserData CProviderRequestBase::ParseUserData(const QJsonObject& object)
{
    CUserData user;
    user.UID = object.value(QLatin1String("UID")).toString();
    const QJsonValue site = object.value(QLatin1String("isSiteUID"));
    user.isSiteUID = site.isBool() ? site.toBool() : site.toString() == QLatin1String("true");
    user.email = object.value(QLatin1String("email")).toString();
    user.nickname = object.value(QLatin1String("nickname")).toString();
    const QJsonValue providers = object.value(QLatin1String("providers"));
    QStringList ids;
    if (providers.isArray()) {
        const QJsonArray array = providers.toArray();
        for (const QJsonValue& value : array)
            ids << value.toString();
    } else {
        ids = providers.toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
    }
    for (const QString& id : qAsConst(ids)) {
        const int number = Gigya::GetProviderById(id);
        if (number >= 0)
            user.providers.insert(number);
    }
    return user;
}

HRESULT CProviderRequestBase::Prepare(const QString& method, const CoreUrl::CParamList& params)
{
    CoreUrl::CConstructorBase url(ServiceConfig::Join(ServiceConfig::LoginApiUrl(), method));
    for (const CoreUrl::CParam& param : params.Params())
        url.Query().Append(param.name, param.value);
    SignProviderParams(url, "GET");
    return SetURL(url.GetUrl());
}

HRESULT CProviderRequestBase::DoParseResponse(HRESULT result)
{
    if (FAILED(result))
        return result;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(GetResponseData(), &error);
    const QJsonValue code = document.object().value(QLatin1String("errorCode"));
    if (error.error != QJsonParseError::NoError || !document.isObject() || !code.isDouble()) {
        WriteLog("%s::DoParseResponse: unreadable answer %x", metaObject()->className(), SV_E_BAD_ANSWER);
        return SV_E_BAD_ANSWER;
    }
    if (code.toInt() != 0) {
        WriteLog("%s::DoParseResponse: provider error %d %x", metaObject()->className(), code.toInt(),
                 SV_E_SERVICE_ERROR);
        return SV_E_SERVICE_ERROR;
    }
    const HRESULT hr = DoParseJson(document.object());
    if (FAILED(hr))
        WriteLog("%s::DoParseResponse: incomplete answer %x", metaObject()->className(), hr);
    return hr;
}

// ---- CGetTokenRequest

CGetTokenRequest::CGetTokenRequest(QObject* parent)
    : CProviderRequestBase(parent)
{
}

HRESULT CGetTokenRequest::Create(QObject* receiver, const char* slot, const QString& userId, CGetTokenRequest** request)
{
    CGetTokenRequest* created = new CGetTokenRequest();
    const HRESULT build = receiver && slot ? created->Modify(userId) : S_OK;
    const HRESULT hr = StartAndConnect(created, build, receiver, slot, SIGNAL(WhenCompleted(int, QString)),
                                       "GigyaProtocol::CGetTokenRequest::StartRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CGetTokenRequest::Modify(const QString& userId)
{
    if (userId.isEmpty()) {
        WriteLog("GigyaProtocol::CGetTokenRequest::Modify: no user id %x", E_INVALIDARG);
        return E_INVALIDARG;
    }
    CoreUrl::CParamList params;
    params.Param("grant_type").value = "none";
    CoreUrl::SetParamString(params.Param("x_siteUID"), userId);
    return Prepare(QStringLiteral("socialize.getToken"), params);
}

HRESULT CGetTokenRequest::DoParseJson(const QJsonObject& object)
{
    m_token = object.value(QLatin1String("access_token")).toString();
    return m_token.isEmpty() ? SV_E_BAD_ANSWER : S_OK;
}

void CGetTokenRequest::DoEmitCompleted()
{
    emit WhenCompleted(GetResult(), m_token);
}

// ---- CGetUserInfoRequest

CGetUserInfoRequest::CGetUserInfoRequest(QObject* parent)
    : CProviderRequestBase(parent)
{
}

HRESULT CGetUserInfoRequest::Create(QObject* receiver, const char* slot, const QString& token,
                                    CGetUserInfoRequest** request)
{
    CGetUserInfoRequest* created = new CGetUserInfoRequest();
    const HRESULT build = receiver && slot ? created->Modify(token) : S_OK;
    const HRESULT hr = StartAndConnect(created, build, receiver, slot,
                                       SIGNAL(WhenCompleted(int, GigyaProtocol::CUserData)),
                                       "GigyaProtocol::CGetUserInfoRequest::StartRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CGetUserInfoRequest::Modify(const QString& token)
{
    if (token.isEmpty()) {
        WriteLog("GigyaProtocol::CGetUserInfoRequest::Modify: no token %x", E_INVALIDARG);
        return E_INVALIDARG;
    }
    CoreUrl::CParamList params;
    CoreUrl::SetParamString(params.Param("oauth_token"), token);
    return Prepare(QStringLiteral("socialize.getUserInfo"), params);
}

HRESULT CGetUserInfoRequest::DoParseJson(const QJsonObject& object)
{
    m_user = ParseUserData(object);
    return m_user.UID.isEmpty() ? SV_E_BAD_ANSWER : S_OK;
}

void CGetUserInfoRequest::DoEmitCompleted()
{
    emit WhenCompleted(GetResult(), m_user);
}

// ---- CSetUidRequest

CSetUidRequest::CSetUidRequest(QObject* parent)
    : CProviderRequestBase(parent)
{
}

HRESULT CSetUidRequest::Create(QObject* receiver, const char* slot, const QString& token, const QString& userId,
                               CSetUidRequest** request)
{
    CSetUidRequest* created = new CSetUidRequest();
    const HRESULT build = receiver && slot ? created->Modify(token, userId) : S_OK;
    const HRESULT hr = StartAndConnect(created, build, receiver, slot, SIGNAL(WhenCompleted(int)),
                                       "GigyaProtocol::CSetUidRequest::StartRequest");
    *request = SUCCEEDED(hr) ? created : nullptr;
    return hr;
}

HRESULT CSetUidRequest::Modify(const QString& token, const QString& userId)
{
    if (token.isEmpty() || userId.isEmpty()) {
        WriteLog("GigyaProtocol::CSetUidRequest::Modify: no token or no user id %x", E_INVALIDARG);
        return E_INVALIDARG;
    }
    CoreUrl::CParamList params;
    CoreUrl::SetParamString(params.Param("oauth_token"), token);
    CoreUrl::SetParamString(params.Param("siteUID"), userId);
    return Prepare(QStringLiteral("socialize.setUID"), params);
}

HRESULT CSetUidRequest::DoParseJson(const QJsonObject&)
{
    return S_OK;
}

void CSetUidRequest::DoEmitCompleted()
{
    emit WhenCompleted(GetResult());
}

} // namespace GigyaProtocol
