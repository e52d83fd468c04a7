#include "support/testmain.h"

#include "core/resultcodes.h"
#include "requestreceiver.h"
#include "support/fakesonveroserver.h"
#include "ui/popups/popupstack.h"
#include "webservice/drelk/adrequests.h"
#include "webservice/gigya/gigyaproviders.h"
#include "webservice/gigya/popuplogin.h"
#include "webservice/serviceconfig.h"

#include <QBuffer>
#include <QStackedLayout>
#include <QTcpServer>
#include <QUrlQuery>
#include <QWebSettings>
#include <QWebView>

using SvTest::CFakeAnswer;
using SvTest::CFakeSonveroServer;

namespace {

QByteArray PngBytes(const QColor& color = Qt::blue)
{
    QImage image(8, 5, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

Drelk::CAdDesc SampleAd()
{
    Drelk::CAdDesc ad;
    ad.placement = QStringLiteral("desktop");
    ad.link = QUrl(QStringLiteral("https://shop.example/ü?x=1"));
    ad.text = QString::fromUtf8("Скидки 日本");
    ad.imageUrl = QUrl(QStringLiteral("http://127.0.0.1:1/ad.png"));
    ad.imageData = PngBytes();
    ad.image.loadFromData(ad.imageData);
    return ad;
}

// Records what the derived-class hook of the login popup sees.
class CRecordingPopupLogin : public Gigya::CPopupLogin
{
public:
    using Gigya::CPopupLogin::CPopupLogin;
    static int got;
    static QString token;
    static QString uid;

protected:
    void GotUserInfo() override
    {
        ++got;
        token = m_accessToken;
        uid = m_userData.UID;
        Gigya::CPopupLogin::GotUserInfo();
    }
};

int CRecordingPopupLogin::got = 0;
QString CRecordingPopupLogin::token;
QString CRecordingPopupLogin::uid;

} // namespace

class TestAdsAndLogin : public QObject
{
    Q_OBJECT
private:
    CFakeSonveroServer* m_server = nullptr;

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        m_server = new CFakeSonveroServer(this);
        m_server->ConfigureSettings();
    }

    void cleanup()
    {
        delete m_server;
        m_server = nullptr;
    }

    void adStreamRoundTrip()
    {
        const Drelk::CAdDesc ad = SampleAd();
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out << ad;
            QCOMPARE(out.status(), QDataStream::Ok);
        }
        Drelk::CAdDesc read;
        QDataStream in(bytes);
        in >> read;
        QCOMPARE(in.status(), QDataStream::Ok);
        QCOMPARE(read.placement, ad.placement);
        QCOMPARE(read.link, ad.link);
        QCOMPARE(read.text, ad.text);
        QCOMPARE(read.imageUrl, ad.imageUrl);
        QCOMPARE(read.imageData, ad.imageData);
        QCOMPARE(read.image.size(), QSize(8, 5));
        QCOMPARE(read.image.pixelColor(1, 1), QColor(Qt::blue));
    }

    void adStreamRefusesDamage_data()
    {
        QTest::addColumn<int>("damage");
        QTest::newRow("payload byte flipped") << 0;
        QTest::newRow("checksum changed") << 1;
        QTest::newRow("bad magic") << 2;
        QTest::newRow("other version") << 3;
        QTest::newRow("cut short") << 4;
        QTest::newRow("length over the limit") << 5;
        QTest::newRow("empty") << 6;
    }

    void adStreamRefusesDamage()
    {
        QFETCH(int, damage);
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out << SampleAd();
        }
        switch (damage) {
        case 0: bytes[20] = char(bytes[20] ^ 0x40); break;
        case 1: bytes[bytes.size() - 1] = char(bytes[bytes.size() - 1] ^ 1); break;
        case 2: bytes[0] = 'X'; break;
        case 3: bytes[5] = 2; break;
        case 4: bytes.chop(10); break;
        case 5: {
            // A header claiming a 5 MB payload.
            bytes.clear();
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out << Drelk::CAdDesc::StreamMagic << Drelk::CAdDesc::StreamVersion << quint32(5 * 1024 * 1024);
            bytes += QByteArray(1024, 'x');
            break;
        }
        case 6: bytes.clear(); break;
        }
        Drelk::CAdDesc read = SampleAd();
        QDataStream in(bytes);
        in >> read;
        QCOMPARE(in.status(), QDataStream::ReadCorruptData);
        QVERIFY(read.IsEmpty());
        QVERIFY(read.image.isNull());
    }

    void adStreamRefusesOversizeWrite()
    {
        Drelk::CAdDesc ad = SampleAd();
        ad.imageData = QByteArray(Drelk::CAdDesc::MaxPayload + 1, 'x');
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << ad;
        QCOMPARE(out.status(), QDataStream::WriteFailed);
        QVERIFY(bytes.isEmpty());
    }

    void adRequestFetchesImageAndPixels()
    {
        CFakeSonveroServer::CAd ad;
        ad.link = QStringLiteral("https://shop.example/offer");
        ad.text = QString::fromUtf8("Летняя распродажа");
        ad.imagePath = QStringLiteral("/adimg/banner.png");
        ad.imageBytes = PngBytes(Qt::green);
        ad.pixelPaths = QStringList{QStringLiteral("/px/1.gif"), QStringLiteral("/px/2.gif")};
        m_server->SetAd(ad);
        m_server->SetAnswer(QStringLiteral("/px/2.gif"), CFakeAnswer::Status(500)); // a failing pixel does not matter

        CRequestReceiver receiver;
        QPointer<Drelk::CGetAdHttpRequest> guard;
        QCOMPARE(Drelk::CGetAdHttpRequest::startRequest(guard, &receiver, SLOT(OnAd(int, Drelk::CAdDesc))), S_OK);
        QTRY_COMPARE(receiver.calls, 1);
        QCOMPARE(receiver.result, 0);
        QCOMPARE(receiver.ad.placement, QStringLiteral("desktop"));
        QCOMPARE(receiver.ad.link, QUrl(ad.link));
        QCOMPARE(receiver.ad.text, ad.text);
        QCOMPARE(receiver.ad.imageUrl, QUrl(m_server->UrlFor(ad.imagePath)));
        QCOMPARE(receiver.ad.imageData, ad.imageBytes);
        QCOMPARE(receiver.ad.image.pixelColor(0, 0), QColor(Qt::green));
        QCOMPARE(receiver.ad.pixels.size(), 2);
        // Image and both pixels were fetched before the ad was delivered.
        QCOMPARE(m_server->RequestCount(ad.imagePath), 1);
        QCOMPARE(m_server->RequestCount(QStringLiteral("/px/1.gif")), 1);
        QCOMPARE(m_server->RequestCount(QStringLiteral("/px/2.gif")), 1);
        QTRY_VERIFY(!guard);
    }

    void adAnswerVariants()
    {
        CRequestReceiver receiver;
        QPointer<Drelk::CHttpTransaction> guard;
        m_server->SetAnswer(QStringLiteral("/ads/ad"), CFakeAnswer::Xml("<ad/>"));
        QCOMPARE(Drelk::CGetAdHttpRequest::startRequest(guard, &receiver, SLOT(OnAd(int, Drelk::CAdDesc))), S_OK);
        QTRY_COMPARE(receiver.calls, 1);
        QCOMPARE(receiver.result, 0);
        QVERIFY(receiver.ad.IsEmpty());

        // Addresses with other schemes are dropped; an image that cannot be fetched leaves the ad without one.
        m_server->SetAnswer(QStringLiteral("/ads/ad"),
                            CFakeAnswer::Xml("<ad placement=\"p\" link=\"javascript:alert(1)\" text=\"t\" image=\""
                                             + m_server->UrlFor(QStringLiteral("/missing.png")).toUtf8()
                                             + "\"><pixel url=\"file:///etc/passwd\"/></ad>"));
        QCOMPARE(Drelk::CGetAdHttpRequest::startRequest(guard, &receiver, SLOT(OnAd(int, Drelk::CAdDesc))), S_OK);
        QTRY_COMPARE(receiver.calls, 2);
        QCOMPARE(receiver.result, 0);
        QVERIFY(receiver.ad.link.isEmpty());
        QVERIFY(receiver.ad.pixels.isEmpty());
        QVERIFY(receiver.ad.image.isNull());
        QCOMPARE(receiver.ad.text, QStringLiteral("t"));

        m_server->SetAnswer(QStringLiteral("/ads/ad"), CFakeAnswer::Xml("<html>no</html>"));
        QCOMPARE(Drelk::CGetAdHttpRequest::startRequest(guard, &receiver, SLOT(OnAd(int, Drelk::CAdDesc))), S_OK);
        QTRY_COMPARE(receiver.calls, 3);
        QCOMPARE(receiver.result, SV_E_BAD_ANSWER);

        // A click needs a link.
        Drelk::CAdDesc noLink;
        QCOMPARE(Drelk::CAdClickedRequest::startRequest(guard, &receiver, SLOT(OnResult(int)), noLink), E_INVALIDARG);
    }

    void providerNames_data()
    {
        QTest::addColumn<int>("provider");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::newRow("facebook") << 3 << "facebook" << "Facebook";
        QTest::newRow("twitter") << 20 << "twitter" << "Twitter";
        QTest::newRow("unused") << 7 << "" << "";
        QTest::newRow("0") << 0 << "" << "";
        QTest::newRow("26") << 26 << "" << "";
        QTest::newRow("-1") << -1 << "" << "";
    }

    void providerNames()
    {
        QFETCH(int, provider);
        QFETCH(QString, id);
        QFETCH(QString, name);
        QCOMPARE(Gigya::GetProviderId(provider), id);
        QCOMPARE(Gigya::GetProviderDesc(provider).Translate(), name);
        QCOMPARE(Gigya::GetProviderDesc(provider).IsEmpty(), name.isEmpty());
        if (!id.isEmpty())
            QCOMPARE(Gigya::GetProviderById(id.toUpper()), provider);
        QCOMPARE(Gigya::GetProviderIdList({20, 7, 3, -4}), (QStringList{QStringLiteral("facebook"), QStringLiteral("twitter")}));
        QVERIFY(Gigya::GetProviderIdList({}).isEmpty());
    }

    // Provider answers are data: an error code, non-JSON or a script is refused, never evaluated.
    void providerAnswers_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("expected");
        QTest::newRow("ok") << QByteArray("{\"errorCode\":0,\"UID\":\"x1\",\"isSiteUID\":false,\"providers\":[\"twitter\"]}") << 0;
        QTest::newRow("error code") << QByteArray("{\"errorCode\":403005,\"errorMessage\":\"no\"}") << int(SV_E_SERVICE_ERROR);
        QTest::newRow("script") << QByteArray("alert('owned'); ({errorCode:0})") << int(SV_E_BAD_ANSWER);
        QTest::newRow("no error code") << QByteArray("{\"UID\":\"x1\"}") << int(SV_E_BAD_ANSWER);
        QTest::newRow("no UID") << QByteArray("{\"errorCode\":0}") << int(SV_E_BAD_ANSWER);
        QTest::newRow("array") << QByteArray("[1,2]") << int(SV_E_BAD_ANSWER);
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
        if (expected == 0) {
            QCOMPARE(receiver.providerUser.UID, QStringLiteral("x1"));
            QCOMPARE(receiver.providerUser.providers, QSet<int>{20});
        }
    }

    void providerSignatureChecked()
    {
        m_server->AddProviderUser({QStringLiteral("u5"), true, QString(), QString(), {}});
        QSettings().setValue(QStringLiteral("service/login_api_url"), m_server->LoginApiUrl());
        CRequestReceiver receiver;
        QPointer<Drelk::CHttpTransaction> guard;
        QCOMPARE(GigyaProtocol::CGetTokenRequest::StartRequest(guard, &receiver, SLOT(OnText(int, QString)), QStringLiteral("u5")), S_OK);
        QTRY_COMPARE(receiver.calls, 1);
        QCOMPARE(receiver.result, 0);
        // The same call with its signature damaged is refused by the provider.
        SvTest::CFakeRequest seen = m_server->LastRequest();
        QByteArray query = seen.rawQuery;
        query.replace("x_siteUID=u5", "x_siteUID=u6");
        Drelk::CHttpTransaction replay;
        QCOMPARE(replay.SetURL(QUrl::fromEncoded(m_server->BaseUrl().toUtf8() + seen.rawPath + '?' + query)), S_OK);
        QCOMPARE(replay.Start(), S_OK);
        QTRY_COMPARE(replay.GetState(), 2);
        QVERIFY(replay.GetResponseData().contains("403003"));
    }

    void redirectParsing_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("matched");
        QTest::addColumn<QString>("token");
        QTest::addColumn<QString>("error");
        const QString cb = QString::fromLatin1(ServiceConfig::LoginRedirectUri);
        QTest::newRow("token in fragment") << cb + "#access_token=abc%2B1&expires_in=3600" << true << "abc+1" << "";
        QTest::newRow("token in query") << cb + "?access_token=q9" << true << "q9" << "";
        QTest::newRow("error") << cb + "#error=access_denied" << true << "" << "access_denied";
        QTest::newRow("nothing") << cb << true << "" << "no_token";
        QTest::newRow("other path") << cb + "x#access_token=abc" << false << "" << "";
        QTest::newRow("other host") << "https://evil.example/done#access_token=abc" << false << "" << "";
        QTest::newRow("other scheme") << QString(cb).replace("https:", "http:") + "#access_token=abc" << false << "" << "";
    }

    void redirectParsing()
    {
        QFETCH(QString, url);
        QFETCH(bool, matched);
        QFETCH(QString, token);
        QFETCH(QString, error);
        QString foundToken = QStringLiteral("unset");
        QString foundError = QStringLiteral("unset");
        QCOMPARE(Gigya::CPopupLogin::ParseRedirect(QUrl(url), &foundToken, &foundError), matched);
        if (matched) {
            QCOMPARE(foundToken, token);
            QCOMPARE(foundError, error);
        }
    }

    void loginAddresses()
    {
        const QUrl login = Gigya::CPopupLogin::BuildLoginUrl(20);
        QCOMPARE(login.path(), QStringLiteral("/provider-login/page"));
        const QUrlQuery query(login);
        QCOMPARE(query.queryItemValue(QStringLiteral("provider")), QStringLiteral("twitter"));
        QCOMPARE(query.queryItemValue(QStringLiteral("apiKey")), QString::fromLatin1(ServiceConfig::ProviderApiKey));
        QCOMPARE(query.queryItemValue(QStringLiteral("redirect_uri"), QUrl::FullyDecoded),
                 QString::fromLatin1(ServiceConfig::LoginRedirectUri));
        QVERIFY(!Gigya::CPopupLogin::BuildLoginUrl(7).isValid());

        QVERIFY(Gigya::CPopupLogin::IsAllowedUrl(QUrl(m_server->UrlFor(QStringLiteral("/anything")))));
        QVERIFY(!Gigya::CPopupLogin::IsAllowedUrl(QUrl(QStringLiteral("http://127.0.0.1:1/x"))));
        QVERIFY(!Gigya::CPopupLogin::IsAllowedUrl(QUrl(QStringLiteral("https://evil.example/"))));
        QVERIFY(!Gigya::CPopupLogin::IsAllowedUrl(QUrl(QStringLiteral("file:///etc/passwd"))));
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
        m_server->AddProviderUser({QStringLiteral("g-77"), false, QStringLiteral("zoe@example.com"), QString::fromUtf8("Zoë"),
                                   {QStringLiteral("twitter")}});
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
        QVERIFY(!popup->GetWebView()->page()->settings()->testAttribute(QWebSettings::JavaEnabled));
        QCOMPARE(stack.Push(popup), S_OK); // shown: the stack starts the sign-in
        QTRY_COMPARE_WITH_TIMEOUT(receiver.calls, 1, 15000);
        QCOMPARE(CRecordingPopupLogin::got, 1);
        QVERIFY(!receiver.text.isEmpty());
        QCOMPARE(CRecordingPopupLogin::token, receiver.text);
        QCOMPARE(CRecordingPopupLogin::uid, QStringLiteral("g-77"));
        QCOMPARE(receiver.providerUser.UID, QStringLiteral("g-77"));
        QCOMPARE(receiver.providerUser.nickname, QString::fromUtf8("Zoë"));
        QCOMPARE(receiver.providerUser.providers, QSet<int>{20});
        QTRY_VERIFY(!popup); // closed itself and left the stack
        QCOMPARE(stack.Count(), 0);
        QCOMPARE(m_server->RequestCount(QStringLiteral("/provider-login/page")), 1);
        QCOMPARE(m_server->RequestsTo(QStringLiteral("/provider/socialize.getUserInfo")).value(0).Param(QStringLiteral("oauth_token")),
                 receiver.text);
    }

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

        // An unknown provider and an unreachable login page end the same way.
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
        CFakeAnswer page;
        page.contentType = "text/html";
        page.body = "<html><body><img src=\"" + away + "/img.png\"><script>window.location.href='" + away + "';</script></body></html>";
        m_server->SetAnswer(QStringLiteral("/provider-login/page"), page);
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
