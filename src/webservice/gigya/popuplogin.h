#pragma once
// The social-login provider's sign-in in a web view on the popup stack: the provider's login page is loaded,
// the redirect that carries the access token is caught (and never loaded), the provider user's data is
// fetched, then GotUserInfo() runs. The view goes nowhere but the provider's configured hosts, and runs no
// plugins.
#include <QFrame>
#include <QPointer>
#include <QUrl>

#include "platform/com/combase.h"
#include "webservice/gigya/gigyaprotocol.h"

class QLabel;
class QWebView;

namespace Gigya {

class CPopupLogin : public QFrame
{
    Q_OBJECT
public:
    // receiver and slot get WhenCompleted(QString, GigyaProtocol::CUserData) when given.
    CPopupLogin(int provider, QObject* receiver = nullptr, const char* slot = nullptr, QWidget* parent = nullptr);
    ~CPopupLogin() override;

    int GetProvider() const { return m_provider; }
    QWebView* GetWebView() const { return m_view; }
    // The message shown by ShowErrorCode (empty while none is).
    QString GetMessageText() const;

    // The login page for a provider: {login_page_url}?provider=<id>&apiKey=<key>&redirect_uri=<callback>;
    // invalid for an unknown provider.
    static QUrl BuildLoginUrl(int provider);
    // True when url is our callback address; fills the access token or the provider's error from its
    // fragment or query.
    static bool ParseRedirect(const QUrl& url, QString* token, QString* error);
    // True for http(s) addresses on the hosts (and ports) of the configured login page and login API.
    static bool IsAllowedUrl(const QUrl& url);

    // Shows the user message of a result code in place of the web view.
    void ShowErrorCode(HRESULT code);

    // Called by the popup stack once shown: the sign-in starts on the next turn of the event loop.
    Q_INVOKABLE void HandleShown();

signals:
    void WhenCompleted(const QString& token, const GigyaProtocol::CUserData& user);

protected:
    // Token and user data are there. The base emits WhenCompleted and closes the popup.
    virtual void GotUserInfo();

    QString m_accessToken;
    GigyaProtocol::CUserData m_userData;
    QPointer<Drelk::CHttpTransaction> m_request;

protected slots:
    void StartSignIn();
    void OnGetUserInfoCompleted(int result, const GigyaProtocol::CUserData& user);

private slots:
    void OnLoadFinished(bool ok);
    void ProcessRedirect();

private:
    friend class CLoginPage;
    friend class CLoginNetworkAccessManager;
    // The page or its network layer met the callback address.
    void NoteRedirect(const QUrl& url);

    int m_provider;
    QWebView* m_view = nullptr;
    QLabel* m_message = nullptr;
    QUrl m_redirect;
    bool m_redirectSeen = false;
    bool m_started = false;
};

} // namespace Gigya
