#include "support/testmain.h"

#include "core/resultcodes.h"
#include "requestreceiver.h"
#include "support/fakesonveroserver.h"
#include "ui/popups/popupstack.h"
#include "webservice/drelk/adrequests.h"
#include "webservice/gigya/gigyaproviders.h"
#include "webservice/gigya/popuplogin.h"
#include "webservice/serviceconfig.h"

#include <QStackedLayout>
#include <QTcpServer>
#include <QWebSettings>
#include <QWebView>

using SvTest::CFakeAnswer;
using SvTest::CFakeSonveroServer;

namespace {

Drelk::CAdDesc SampleAd()
{
    Drelk::CAdDesc ad;
    ad.placement = "desktop", ad.link = QUrl(QStringLiteral("https://shop.example/ü?x=1")), ad.text = QString::fromUtf8("Скидки 日本");
    ad.imageUrl = QUrl(QStringLiteral("http://127.0.0.1:1/ad.png")), ad.imageData = PngBytes(QSize(8, 5), Qt::blue);
    ad.image.loadFromData(ad.imageData);
    return ad;
}

QByteArray Streamed(const Drelk::CAdDesc& ad)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << ad;
    return bytes;
}

// Records what the derived-class hook of the login popup sees.
class CRecordingPopupLogin : public Gigya::CPopupLogin
{
public:
    using Gigya::CPopupLogin::CPopupLogin;
    static int got;

protected:
    void GotUserInfo() override
    {
        if (!m_accessToken.isEmpty() && !m_userData.UID.isEmpty())
            ++got;
        Gigya::CPopupLogin::GotUserInfo();
    }
};

int CRecordingPopupLogin::got = 0;

} // namespace

class TestAdsAndLogin : public QObject
{
    Q_OBJECT
private:
    QScopedPointer<CFakeSonveroServer> m_server;

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        m_server.reset(new CFakeSonveroServer);
        m_server->ConfigureSettings();
    }

    void cleanup() { m_server.reset(); }

    void adStream_data()
    {
        QTest::addColumn<int>("damage");
        QTest::newRow("intact") << -1;
        QTest::newRow("payload byte flipped: bad checksum") << 0;
        QTest::newRow("cut short") << 1;
        QTest::newRow("length over the limit") << 2;
    }

    // The stored ad round-trips; damage of any kind gives an empty ad and a corrupt stream.
    void adStream()
    {
        QFETCH(int, damage);
        const Drelk::CAdDesc ad = SampleAd();
        QByteArray bytes = Streamed(ad);
        switch (damage) {
        case 0: bytes[20] = char(bytes[20] ^ 0x40); break;
        case 1: bytes.chop(10); break;
        case 2: {
            bytes.clear();
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out << Drelk::CAdDesc::StreamMagic << Drelk::CAdDesc::StreamVersion << quint32(5 * 1024 * 1024);
            bytes += QByteArray(1024, 'x');
            break;
        }
        }
        Drelk::CAdDesc read = damage < 0 ? Drelk::CAdDesc() : ad;
        QDataStream in(bytes);
        in >> read;
        if (damage >= 0) {
            QCOMPARE(in.status(), QDataStream::ReadCorruptData);
            QVERIFY(read.IsEmpty());
            QVERIFY(read.image.isNull());
            return;
        }
        QCOMPARE(in.status(), QDataStream::Ok);
        QCOMPARE(read.link, ad.link);
        QCOMPARE(read.text, ad.text);
        QCOMPARE(read.imageData, ad.imageData);
        QCOMPARE(read.image.pixelColor(1, 1), QColor(Qt::blue));

        // Too large to write: nothing is written.
        Drelk::CAdDesc oversize = ad;
        oversize.imageData = QByteArray(Drelk::CAdDesc::MaxPayload + 1, 'x');
        QVERIFY(Streamed(oversize).isEmpty());
    }

    void adRequestFetchesImageAndPixels()
    {
        const CFakeSonveroServer::CAd ad{"desktop", "https://shop.example/offer", QString::fromUtf8("Летняя распродажа"),
                                         "/adimg/banner.png", PngBytes(QSize(8, 5), Qt::green), {"/px/1.gif", "/px/2.gif"}};
        m_server->SetAd(ad);
        m_server->SetAnswer(QStringLiteral("/px/2.gif"), CFakeAnswer::Status(500)); // a failing pixel does not matter

        CRequestReceiver receiver;
        QPointer<Drelk::CGetAdHttpRequest> guard;
        QCOMPARE(Drelk::CGetAdHttpRequest::startRequest(guard, &receiver, SLOT(OnAd(int, Drelk::CAdDesc))), S_OK);
        QTRY_COMPARE(receiver.calls, 1);
        QCOMPARE(receiver.result, 0);
        QCOMPARE(receiver.ad.link, QUrl(ad.link));
        QCOMPARE(receiver.ad.text, ad.text);
        QCOMPARE(receiver.ad.image.pixelColor(0, 0), QColor(Qt::green));
        QCOMPARE(receiver.ad.pixels.size(), 2);
        // Image and both pixels were fetched before the ad was delivered.
        for (const QString& path : {ad.imagePath, ad.pixelPaths.at(0), ad.pixelPaths.at(1)})
            QCOMPARE(m_server->RequestCount(path), 1);

        // Addresses with other schemes are dropped; an image that cannot be fetched leaves the ad without one.
        m_server->SetAnswer(QStringLiteral("/ads/ad"),
                            CFakeAnswer::Xml("<ad placement=\"p\" link=\"javascript:alert(1)\" text=\"t\" image=\""
                                             + m_server->UrlFor(QStringLiteral("/missing.png")).toUtf8()
                                             + "\"><pixel url=\"file:///etc/passwd\"/></ad>"));
        QCOMPARE(Drelk::CGetAdHttpRequest::startRequest(guard, &receiver, SLOT(OnAd(int, Drelk::CAdDesc))), S_OK);
        QTRY_COMPARE(receiver.calls, 2);
        QCOMPARE(receiver.result, 0);
        QVERIFY(receiver.ad.link.isEmpty() && receiver.ad.pixels.isEmpty() && receiver.ad.image.isNull());
        QCOMPARE(receiver.ad.text, QStringLiteral("t"));
    }

    void providerNames()
    {
        QCOMPARE(Gigya::GetProviderId(3), QStringLiteral("facebook"));
        QCOMPARE(Gigya::GetProviderDesc(3).Translate(), QStringLiteral("Facebook"));
        QCOMPARE(Gigya::GetProviderById(QStringLiteral("FACEBOOK")), 3);
        for (int unused : {7, 26, -1})
            QVERIFY(Gigya::GetProviderId(unused).isEmpty() && Gigya::GetProviderDesc(unused).IsEmpty());
        QCOMPARE(Gigya::GetProviderIdList({20, 7, 3, -4}), (QStringList{QStringLiteral("facebook"), QStringLiteral("twitter")}));
    }

    // Provider answers are data: an error code, non-JSON or a script is refused, never evaluated.
    void providerAnswers_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("expected");
        QTest::newRow("error code") << QByteArray("{\"errorCode\":403005,\"errorMessage\":\"no\"}") << int(SV_E_SERVICE_ERROR);
        QTest::newRow("script") << QByteArray("alert('owned'); ({errorCode:0})") << int(SV_E_BAD_ANSWER);
        QTest::newRow("no UID") << QByteArray("{\"errorCode\":0}") << int(SV_E_BAD_ANSWER);
    }

    void providerAnswers()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, expected);
        m_server->SetAnswer(QStringLiteral("/provider/socialize.getUserInfo"), CFakeAnswer::Json(body));
        CRequestReceiver receiver;
        QPointer<Drelk::CHttpTransaction> guard;
        QCOMPARE(GigyaProtocol::CGetUserInfoRequest::StartRequest(guard, &receiver, SLOT(OnProviderUser(int, GigyaProtocol::CUserData)),
                                                                  QStringLiteral("tok")),
                 S_OK);
        QTRY_COMPARE(receiver.calls, 1);
        QCOMPARE(receiver.result, expected);
        QVERIFY(receiver.providerUser.UID.isEmpty());
    }

    // Only the configured callback address carries a token.
    void redirectParsing()
    {
        const QString cb = QString::fromLatin1(ServiceConfig::LoginRedirectUri);
        QString token;
        QString error;
        QVERIFY(Gigya::CPopupLogin::ParseRedirect(QUrl(cb + "#access_token=abc%2B1&expires_in=3600"), &token, &error));
        QCOMPARE(token, QStringLiteral("abc+1"));
        QVERIFY(Gigya::CPopupLogin::ParseRedirect(QUrl(cb + "#error=access_denied"), &token, &error));
        QVERIFY(token.isEmpty());
        QCOMPARE(error, QStringLiteral("access_denied"));
        QVERIFY(!Gigya::CPopupLogin::ParseRedirect(QUrl("https://evil.example/done#access_token=abc"), &token, &error));
        QVERIFY(!Gigya::CPopupLogin::ParseRedirect(QUrl(QString(cb).replace("https:", "http:") + "#access_token=abc"), &token, &error));
    }

    void loginPopupInWebView_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("script navigation") << int(CFakeSonveroServer::ELoginPageMode::Script);
        QTest::newRow("http redirect") << int(CFakeSonveroServer::ELoginPageMode::HttpRedirect);
    }

    // The whole road offscreen: login page, caught callback, user info, GotUserInfo, completion, close.
    void loginPopupInWebView()
    {
        QFETCH(int, mode);
        m_server->AddProviderUser({"g-77", false, "zoe@example.com", QString::fromUtf8("Zoë"), {"twitter"}});
        m_server->SetLoginUser(QStringLiteral("g-77"));
        m_server->SetLoginPageMode(CFakeSonveroServer::ELoginPageMode(mode));
        CRecordingPopupLogin::got = 0;
        CRequestReceiver receiver;
        QWidget window;
        window.resize(800, 600);
        QStackedLayout* layout = new QStackedLayout(&window);
        layout->addWidget(new QWidget);
        CPopupStack stack(&window, layout);
        window.show();
        QPointer<CRecordingPopupLogin> popup =
            new CRecordingPopupLogin(20, &receiver, SLOT(OnLogin(QString, GigyaProtocol::CUserData)));
        QVERIFY(!popup->GetWebView()->page()->settings()->testAttribute(QWebSettings::PluginsEnabled));
        QCOMPARE(stack.Push(popup), S_OK); // shown: the stack starts the sign-in
        QTRY_COMPARE_WITH_TIMEOUT(receiver.calls, 1, 15000);
        QCOMPARE(CRecordingPopupLogin::got, 1);
        QVERIFY(!receiver.text.isEmpty());
        QCOMPARE(receiver.providerUser.UID, QStringLiteral("g-77"));
        QCOMPARE(receiver.providerUser.nickname, QString::fromUtf8("Zoë"));
        QTRY_VERIFY(!popup); // closed itself and left the stack
        QCOMPARE(stack.Count(), 0);
        QCOMPARE(m_server->RequestsTo(QStringLiteral("/provider/socialize.getUserInfo")).value(0).Param(QStringLiteral("oauth_token")),
                 receiver.text);
    }

    // A provider error, an unknown provider and an unreachable login page all end in a shown message.
    void loginPopupShowsErrors()
    {
        m_server->SetLoginPageMode(CFakeSonveroServer::ELoginPageMode::Error);
        CRequestReceiver receiver;
        Gigya::CPopupLogin popup(3, &receiver, SLOT(OnLogin(QString, GigyaProtocol::CUserData)));
        popup.show();
        popup.HandleShown();
        QTRY_VERIFY_WITH_TIMEOUT(!popup.GetMessageText().isEmpty(), 15000);
        QCOMPARE(receiver.calls, 0);
        QVERIFY(popup.isVisible());

        Gigya::CPopupLogin unknown(9);
        unknown.HandleShown();
        QTRY_VERIFY(!unknown.GetMessageText().isEmpty());

        QSettings().setValue(QStringLiteral("service/login_page_url"), QStringLiteral("http://127.0.0.1:1/login"));
        Gigya::CPopupLogin unreachable(3);
        unreachable.show();
        unreachable.HandleShown();
        QTRY_VERIFY_WITH_TIMEOUT(!unreachable.GetMessageText().isEmpty(), 15000);
    }

    // A login page that tries to leave the provider's hosts goes nowhere.
    void loginPopupStaysOnProviderHosts()
    {
        QTcpServer outside;
        QVERIFY(outside.listen(QHostAddress::LocalHost, 0));
        const QByteArray away = QStringLiteral("http://127.0.0.1:%1/steal").arg(outside.serverPort()).toUtf8();
        m_server->SetAnswer(QStringLiteral("/provider-login/page"),
                            CFakeAnswer::Data("<html><body><img src=\"" + away + "/img.png\"><script>window.location.href='" + away
                                                  + "';</script></body></html>", "text/html"));
        Gigya::CPopupLogin popup(3);
        popup.show();
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Gigya::CLoginPage::acceptNavigationRequest: refused")));
        popup.HandleShown();
        QTRY_COMPARE_WITH_TIMEOUT(m_server->RequestCount(QStringLiteral("/provider-login/page")), 1, 15000);
        QTest::qWait(300);
        QVERIFY(!outside.hasPendingConnections());
        QVERIFY(popup.GetWebView()->url().path() != QLatin1String("/steal"));
    }
};

SV_TEST_MAIN(TestAdsAndLogin)
#include "tst_adsandlogin.moc"
