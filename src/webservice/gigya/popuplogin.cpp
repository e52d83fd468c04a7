#include "webservice/gigya/popuplogin.h"

#include "core/errormsghelper.h"
#include "core/log.h"
#include "core/resultcodes.h"
#include "ui/popups/popupstack.h"
#include "webservice/gigya/gigyaproviders.h"
#include "webservice/serviceconfig.h"
#include "webservice/url/coreurl.h"

#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrlQuery>
#include <QVBoxLayout>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>

namespace Gigya {

// Refuses every request outside the provider's hosts and catches the callback, whatever way it comes
// (a script's navigation or an HTTP redirect followed by the engine).
class CLoginNetworkAccessManager : public QNetworkAccessManager
{
public:
    CLoginNetworkAccessManager(CPopupLogin* popup)
        : QNetworkAccessManager(popup)
        , m_popup(popup)
    {
    }

protected:
    QNetworkReply* createRequest(Operation op, const QNetworkRequest& request, QIODevice* data) override
    {
        const QUrl url = request.url();
        const QString scheme = url.scheme().toLower();
        const bool local = scheme == QLatin1String("about") || scheme == QLatin1String("data");
        if (CPopupLogin::ParseRedirect(url, nullptr, nullptr)) {
            m_popup->NoteRedirect(url);
        } else if (local || CPopupLogin::IsAllowedUrl(url)) {
            return QNetworkAccessManager::createRequest(op, request, data);
        } else {
            WriteLog("Gigya::CLoginNetworkAccessManager::createRequest: refused [%ls] %x",
                     qUtf16Printable(url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment).toString()),
                     kAccessDenied);
        }
        // A request to nowhere: the engine gets an error reply and loads nothing.
        return QNetworkAccessManager::createRequest(op, QNetworkRequest(QUrl()), nullptr);
    }

private:
    static constexpr HRESULT kAccessDenied = MakeHResult(0x80070005u);
    CPopupLogin* m_popup;
};

class CLoginPage : public QWebPage
{
public:
    CLoginPage(CPopupLogin* popup)
        : QWebPage(popup)
        , m_popup(popup)
    {
    }

protected:
    bool acceptNavigationRequest(QWebFrame* frame, const QNetworkRequest& request, NavigationType type) override
    {
        const QUrl url = request.url();
        if (CPopupLogin::ParseRedirect(url, nullptr, nullptr)) {
            m_popup->NoteRedirect(url);
            return false;
        }
        if (!CPopupLogin::IsAllowedUrl(url) && url.scheme() != QLatin1String("about")) {
            WriteLog("Gigya::CLoginPage::acceptNavigationRequest: refused [%ls]",
                     qUtf16Printable(url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment).toString()));
            return false;
        }
        return QWebPage::acceptNavigationRequest(frame, request, type);
    }

    // No pop-up windows from the login page.
    QWebPage* createWindow(WebWindowType) override { return nullptr; }

private:
    CPopupLogin* m_popup;
};

CPopupLogin::CPopupLogin(int provider, QObject* receiver, const char* slot, QWidget* parent)
    : QFrame(parent)
    , m_provider(provider)
{
    setObjectName(QStringLiteral("popupLogin"));
    setMinimumSize(520, 440);
    SetPopupFlags(this, PopupFramed | PopupCloseButton);
    SetPopupTitle(this, GetProviderDesc(provider));

    m_view = new QWebView(this);
    m_view->setObjectName(QStringLiteral("view"));
    CLoginPage* page = new CLoginPage(this);
    page->setNetworkAccessManager(new CLoginNetworkAccessManager(this));
    QWebSettings* settings = page->settings();
    settings->setAttribute(QWebSettings::PluginsEnabled, false);
    settings->setAttribute(QWebSettings::JavaEnabled, false);
    settings->setAttribute(QWebSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebSettings::JavascriptCanAccessClipboard, false);
    settings->setAttribute(QWebSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebSettings::LocalStorageEnabled, false);
    settings->setAttribute(QWebSettings::OfflineStorageDatabaseEnabled, false);
    settings->setAttribute(QWebSettings::OfflineWebApplicationCacheEnabled, false);
    settings->setAttribute(QWebSettings::DeveloperExtrasEnabled, false);
    m_view->setPage(page);
    connect(m_view, &QWebView::loadFinished, this, &CPopupLogin::OnLoadFinished);

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("message"));
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setTextFormat(Qt::PlainText);
    m_message->hide();

    QVBoxLayout* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_message, 1);

    qRegisterMetaType<GigyaProtocol::CUserData>("GigyaProtocol::CUserData");
    if (receiver && slot
        && !connect(this, SIGNAL(WhenCompleted(QString, GigyaProtocol::CUserData)), receiver, slot))
        WriteLog("Gigya::CPopupLogin::CPopupLogin: connect to [%s] failed %x", slot, E_FAIL);
}

CPopupLogin::~CPopupLogin()
{
    if (m_request) {
        m_request->disconnect(this);
        m_request->deleteLater();
    }
}

QString CPopupLogin::GetMessageText() const
{
    return m_message->isHidden() ? QString() : m_message->text();
}

QUrl CPopupLogin::BuildLoginUrl(int provider)
{
    const QString id = GetProviderId(provider);
    if (id.isEmpty())
        return QUrl();
    CoreUrl::CConstructorBase url(ServiceConfig::LoginPageUrl());
    CoreUrl::SetParamString(url.Param("provider"), id);
    CoreUrl::SetParamString(url.Param("apiKey"), QString::fromLatin1(ServiceConfig::ProviderApiKey));
    CoreUrl::SetParamString(url.Param("redirect_uri"), QString::fromLatin1(ServiceConfig::LoginRedirectUri));
    return url.GetUrl();
}

bool CPopupLogin::ParseRedirect(const QUrl& url, QString* token, QString* error)
{
    const QUrl callback(QString::fromLatin1(ServiceConfig::LoginRedirectUri));
    if (url.scheme().compare(callback.scheme(), Qt::CaseInsensitive) != 0
        || url.host().compare(callback.host(), Qt::CaseInsensitive) != 0 || url.port() != callback.port()
        || url.path() != callback.path())
        return false;
    // The provider puts its answer in the fragment; the query is read as well.
    QString foundToken;
    QString foundError;
    for (const QString& part : {url.fragment(QUrl::FullyEncoded), url.query(QUrl::FullyEncoded)}) {
        const QUrlQuery pairs(part);
        if (foundToken.isEmpty())
            foundToken = pairs.queryItemValue(QStringLiteral("access_token"), QUrl::FullyDecoded);
        if (foundError.isEmpty())
            foundError = pairs.queryItemValue(QStringLiteral("error"), QUrl::FullyDecoded);
    }
    if (foundToken.isEmpty() && foundError.isEmpty())
        foundError = QStringLiteral("no_token");
    if (token)
        *token = foundToken;
    if (error)
        *error = foundToken.isEmpty() ? foundError : QString();
    return true;
}

bool CPopupLogin::IsAllowedUrl(const QUrl& url)
{
    if (!CoreUrl::IsWebUrl(url))
        return false;
    for (const QString& root : {ServiceConfig::LoginPageUrl(), ServiceConfig::LoginApiUrl()}) {
        const QUrl allowed(root);
        if (allowed.host().compare(url.host(), Qt::CaseInsensitive) == 0
            && allowed.scheme().compare(url.scheme(), Qt::CaseInsensitive) == 0
            && allowed.port(allowed.scheme() == QLatin1String("https") ? 443 : 80)
                   == url.port(url.scheme() == QLatin1String("https") ? 443 : 80))
            return true;
    }
    return false;
}

void CPopupLogin::ShowErrorCode(HRESULT code)
{
    m_view->stop();
    m_view->hide();
    m_message->setText(CErrorMsgHelper::ErrorMessage(code));
    m_message->show();
}

void CPopupLogin::HandleShown()
{
    QTimer::singleShot(0, this, &CPopupLogin::StartSignIn);
}

void CPopupLogin::StartSignIn()
{
    if (m_started)
        return;
    m_started = true;
    const QUrl url = BuildLoginUrl(m_provider);
    if (!url.isValid()) {
        WriteLog("Gigya::CPopupLogin::StartSignIn: unknown provider %d %x", m_provider, E_INVALIDARG);
        ShowErrorCode(E_INVALIDARG);
        return;
    }
    WriteLog("Gigya::CPopupLogin::StartSignIn: provider %d", m_provider);
    m_view->load(url);
}

void CPopupLogin::NoteRedirect(const QUrl& url)
{
    if (m_redirectSeen)
        return;
    m_redirectSeen = true;
    m_redirect = url;
    // Not from inside the engine's own call.
    QTimer::singleShot(0, this, &CPopupLogin::ProcessRedirect);
}

void CPopupLogin::ProcessRedirect()
{
    m_view->stop();
    QString token;
    QString error;
    ParseRedirect(m_redirect, &token, &error);
    m_redirect = QUrl(); // the token is not kept in more places than needed
    if (token.isEmpty()) {
        WriteLog("Gigya::CPopupLogin::ProcessRedirect: provider refused [%ls] %x", qUtf16Printable(error),
                 SV_E_SERVICE_ERROR);
        ShowErrorCode(SV_E_SERVICE_ERROR);
        return;
    }
    m_accessToken = token;
    const HRESULT hr = GigyaProtocol::CGetUserInfoRequest::StartRequest(
        m_request, this, SLOT(OnGetUserInfoCompleted(int, GigyaProtocol::CUserData)), token);
    if (FAILED(hr)) {
        WriteLog("Gigya::CPopupLogin::ProcessRedirect: StartRequest failed %x", hr);
        ShowErrorCode(hr);
    }
}

void CPopupLogin::OnLoadFinished(bool ok)
{
    if (ok || m_redirectSeen)
        return;
    WriteLog("Gigya::CPopupLogin::OnLoadFinished: login page failed %x", SV_E_NETWORK_FAILURE);
    ShowErrorCode(SV_E_NETWORK_FAILURE);
}

void CPopupLogin::OnGetUserInfoCompleted(int result, const GigyaProtocol::CUserData& user)
{
    if (m_request) {
        m_request->disconnect(this);
        m_request->deleteLater();
        m_request = nullptr;
    }
    if (FAILED(result)) {
        WriteLog("Gigya::CPopupLogin::OnGetUserInfoCompleted: err=%x", result);
        ShowErrorCode(result);
        return;
    }
    m_userData = user;
    GotUserInfo();
}

void CPopupLogin::GotUserInfo()
{
    emit WhenCompleted(m_accessToken, m_userData);
    close();
}

} // namespace Gigya
