#include "support/testmain.h"

#include "core/resultcodes.h"
#include "platform/netlist/networklist.h"
#include "requestreceiver.h"
#include "support/fakesonveroserver.h"
#include "webservice/drelk/adrequests.h"
#include "webservice/drelk/languagesrequest.h"
#include "webservice/gigya/gigyaprotocol.h"
#include "webservice/protocol/bliprequest.h"
#include "webservice/protocol/inforequests.h"
#include "webservice/protocol/lyricrequests.h"
#include "webservice/protocol/userrequests.h"
#include "webservice/servicetestinternetconnection.h"
#include "webservice/url/oauth.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTcpServer>

using namespace SonveroProtocol;
using SvTest::CFakeAnswer;
using SvTest::CFakeSonveroServer;

namespace {

const char* const kSlotLyric = SLOT(OnLyric(int, int, SonveroProtocol::CLyricDesc));

SongLyrics MakeSong()
{
    SongLyrics song;
    song.artist = QString::fromUtf8("宇多田ヒカル");
    song.title = QStringLiteral("First Love");
    song.album = QString::fromUtf8("Ålbum");
    song.language = QStringLiteral("ja");
    song.duration = 250;
    song.position = 300500; // past the end: capped
    song.id = 77;
    song.groupId = 5;
    song.version = 2;
    song.lines << CLyricLine(QString::fromUtf8("最後のキスは"), 1000) << CLyricLine(QStringLiteral("tasting"), 2500);
    return song;
}

QByteArray PngBytes()
{
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class TestServiceRequests : public QObject
{
    Q_OBJECT
private:
    CFakeSonveroServer* m_server = nullptr;
    CXAuthData m_access;
    QString m_providerToken;

    // Starts request kind k (see requestsAsRecorded_data) into guard.
    HRESULT StartKind(int k, QPointer<Drelk::CHttpTransaction>& guard, CRequestReceiver* r)
    {
        CLyricQuery query{QString::fromUtf8("宇多田ヒカル"), QStringLiteral("First Love"), QString(), QString(), -1};
        CPlayHistoryDesc history;
        history.time = 1700000000;
        history.records << CPlayHistoryUtil::MakePlayRecord(MakeSong(), QStringLiteral("u1"));
        CPostBlipDesc blip;
        blip.networkId = 1;
        blip.message = QString::fromUtf8("Listening ♪");
        blip.userId = QStringLiteral("u1");
        blip.plays = history.records;
        SongInfo art;
        art.artist = QStringLiteral("Björk");
        art.album = QStringLiteral("Post");
        Drelk::CAdDesc ad;
        ad.placement = QStringLiteral("desktop");
        ad.link = QUrl(QStringLiteral("https://shop.example/item?id=1&x=y"));
        switch (k) {
        case 0: return CGetLyricHttpRequestV2::StartRequest(guard, r, kSlotLyric, query);
        case 1: query.version = 3; return CGetLyricHttpRequestV2::StartRequest(guard, r, kSlotLyric, query);
        case 2: return CV2SetLyricsRequest::StartRequest(guard, r, SLOT(OnSetLyrics(int, SonveroProtocol::CSetLyricsResult)), MakeSong());
        case 3: return CPostPlayHistoryRequest::StartRequest(guard, r, SLOT(OnHistory(int, SonveroProtocol::CPlayHistoryDesc)), history, m_access);
        case 4: return CGetAlbumArtRequest::StartRequest(guard, r, SLOT(OnImage(int, QImage)), art);
        case 5: return CCheckForUpdateRequest::StartRequest(guard, r, SLOT(OnUpdate(int, SonveroProtocol::CUpdateDesc)), CVersionNumber(1, 0, 0, 209));
        case 6: return CGetSystemMessagesRequest::StartRequest(guard, r, SLOT(OnMessages(int, SonveroProtocol::CSystemMsgDescList)),
                                                               QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC), CVersionNumber(1, 0, 0, 209));
        case 7: return CXAuthAuthorizationRequest::StartRequest(guard, r, SLOT(OnXAuth(int, SonveroProtocol::CXAuthData)),
                                                                QStringLiteral("anna@example.com"), QString::fromUtf8("pässword"));
        case 8: return CXAuthAuthorizationRequest::StartRequest(guard, r, SLOT(OnXAuth(int, SonveroProtocol::CXAuthData)), QStringLiteral("u1"), m_access);
        case 9: return CXAuthAuthorizationRequest::StartRequest(guard, r, SLOT(OnXAuth(int, SonveroProtocol::CXAuthData)), QStringLiteral("u1"),
                                                                CXAuthData(), m_providerToken);
        case 10: return CV2GetUserDataRequest::StartRequestWithEmail(guard, r, SLOT(OnUsers(int, QList<SonveroProtocol::CUserData>)), QStringLiteral("anna@example.com"));
        case 11: return CV2GetUserDataRequest::StartRequestWithId(guard, r, SLOT(OnUsers(int, QList<SonveroProtocol::CUserData>)),
                                                                  {QStringLiteral("u1"), QStringLiteral("u2")});
        case 12: return CV2CreateUserRequest::StartRequest(guard, r, SLOT(OnText(int, QString)), QStringLiteral("new@example.com"),
                                                           QStringLiteral("secret1"), QString::fromUtf8("Ноый"));
        case 13: return CV2CreateUserRequest::StartRequestWithGigya(guard, r, SLOT(OnText(int, QString)), QStringLiteral("gigya~123"), QStringLiteral("svtemp.123"));
        case 14: return CV2ResetPasswordRequest::StartRequest(guard, r, SLOT(OnResult(int)), QStringLiteral("anna@example.com"));
        case 15: return CV2MergeUsersRequest::StartRequest(guard, r, SLOT(OnResult(int)), QStringLiteral("u2"), m_access);
        case 16: return CV2PostBlipRequest::StartRequest(guard, r, SLOT(OnBlip(int, SonveroProtocol::CPostBlipResponseData)), blip, m_access);
        case 17: return GigyaProtocol::CGetTokenRequest::StartRequest(guard, r, SLOT(OnText(int, QString)), QStringLiteral("u1"));
        case 18: return GigyaProtocol::CGetUserInfoRequest::StartRequest(guard, r, SLOT(OnProviderUser(int, GigyaProtocol::CUserData)), m_providerToken);
        case 19: return GigyaProtocol::CSetUidRequest::StartRequest(guard, r, SLOT(OnResult(int)), m_providerToken, QStringLiteral("u1"));
        case 20: return Drelk::CGetAdHttpRequest::startRequest(guard, r, SLOT(OnAd(int, Drelk::CAdDesc)));
        case 21: return Drelk::CAdClickedRequest::startRequest(guard, r, SLOT(OnResult(int)), ad);
        }
        return E_UNEXPECTED;
    }

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        m_server = new CFakeSonveroServer(this);
        m_server->ConfigureSettings();
        CFakeSonveroServer::CUser anna;
        anna.id = QStringLiteral("u1");
        anna.email = QStringLiteral("anna@example.com");
        anna.password = QString::fromUtf8("pässword");
        anna.handle = QString::fromUtf8("Анна");
        anna.nameFull = QString::fromUtf8("Анна Каренина");
        anna.country = QStringLiteral("RU");
        anna.lang1 = QStringLiteral("ru");
        anna.lang2 = QStringLiteral("fr");
        anna.auth = 2;
        anna.gender = QStringLiteral("f");
        anna.birth = QStringLiteral("1990-05-17");
        m_server->AddUser(anna);
        CFakeSonveroServer::CUser ben;
        ben.id = QStringLiteral("u2");
        ben.email = QStringLiteral("ben@example.com");
        ben.password = QStringLiteral("x");
        m_server->AddUser(ben);
        m_access.token = m_server->IssueToken(QStringLiteral("u1"));
        m_access.tokenSecret = m_server->TokenSecret(m_access.token);
        m_access.userId = QStringLiteral("u1");
        CFakeSonveroServer::CProviderUser provider;
        provider.UID = QStringLiteral("u1");
        provider.isSiteUID = true;
        provider.email = QStringLiteral("anna@example.com");
        provider.nickname = QString::fromUtf8("Анна К.");
        provider.providers = QStringList{QStringLiteral("facebook"), QStringLiteral("twitter"), QStringLiteral("myspace")};
        m_server->AddProviderUser(provider);
        m_providerToken = m_server->IssueProviderToken(QStringLiteral("u1"));
        m_server->SetAlbumArt(QStringLiteral("Björk"), QStringLiteral("Post"), PngBytes());
    }

    void cleanup()
    {
        delete m_server;
        m_server = nullptr;
        NetList::SetProbe(NetList::ProbeFunction());
    }

    void requestsAsRecorded_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<bool>("token");
        const QString ja = QString::fromUtf8("宇多田ヒカル");
        QTest::newRow("lyrics") << 0 << QByteArray("GET") << "/api/v2/lyrics"
                                << QStringList{"artist=" + ja, "title=First Love", "album=", "lang=", "!version"} << false;
        QTest::newRow("lyrics version check") << 1 << QByteArray("GET") << "/api/v2/lyrics" << QStringList{"version=3"} << false;
        QTest::newRow("lyric upload") << 2 << QByteArray("POST") << "/api/v2/lyrics"
                                      << QStringList{"artist=" + ja, "album=" + QString::fromUtf8("Ålbum"), "lang=ja", "songId=77",
                                                     "groupId=5", "version=2", "duration=250", "count=2", "time_0=1000",
                                                     "text_0=" + QString::fromUtf8("最後のキスは"), "time_1=2500", "text_1=tasting"}
                                      << false;
        QTest::newRow("play history") << 3 << QByteArray("POST") << "/api/v2/playhistory"
                                      << QStringList{"time=1700000000", "count=1", "artist_0=" + ja, "duration_0=250",
                                                     "position_0=250", "user_0=u1", "device_0=desktop-linux", "source_0=local",
                                                     "groupId_0=5", "message_0="}
                                      << true;
        QTest::newRow("album art") << 4 << QByteArray("GET") << "/api/v2/albumart"
                                   << QStringList{QString::fromUtf8("artist=Björk"), "album=Post"} << false;
        QTest::newRow("update") << 5 << QByteArray("GET") << "/api/v2/update"
                                << QStringList{"version=1.0.0.209", "platform=linux-x86_64"} << false;
        QTest::newRow("system messages") << 6 << QByteArray("GET") << "/api/v2/sysmsgs"
                                         << QStringList{"time=2024-01-02T03:04:05Z", "version=1.0.0.209"} << false;
        QTest::newRow("xauth password") << 7 << QByteArray("POST") << "/api/oauth/access_token"
                                        << QStringList{"x_auth_mode=client_auth", "x_auth_username=anna@example.com",
                                                       "x_auth_password=" + QString::fromUtf8("pässword")}
                                        << false;
        QTest::newRow("xauth id with token") << 8 << QByteArray("POST") << "/api/oauth/access_token"
                                             << QStringList{"x_auth_mode=client_uuid", "x_auth_uuid=u1", "!x_auth_provider_token"} << true;
        QTest::newRow("xauth id with provider token") << 9 << QByteArray("POST") << "/api/oauth/access_token"
                                                      << QStringList{"x_auth_mode=client_uuid", "x_auth_uuid=u1", "?x_auth_provider_token"}
                                                      << false;
        QTest::newRow("users by e-mail") << 10 << QByteArray("GET") << "/api/v2/users" << QStringList{"email=anna@example.com", "!ids"} << false;
        QTest::newRow("users by ids") << 11 << QByteArray("GET") << "/api/v2/users" << QStringList{"ids=u1,u2", "!email"} << false;
        QTest::newRow("create user") << 12 << QByteArray("POST") << "/api/v2/users"
                                     << QStringList{"email=new@example.com", "password=secret1", "nick=" + QString::fromUtf8("Ноый"), "!provider"}
                                     << false;
        QTest::newRow("create social user") << 13 << QByteArray("POST") << "/api/v2/users"
                                            << QStringList{"email=gigya~123", "nick=svtemp.123", "provider=gigya", "!password"} << false;
        QTest::newRow("reset password") << 14 << QByteArray("POST") << "/api/v2/users/resetpassword"
                                        << QStringList{"email=anna@example.com"} << false;
        QTest::newRow("merge users") << 15 << QByteArray("POST") << "/api/v2/users/merge" << QStringList{"from=u2"} << true;
        QTest::newRow("blip") << 16 << QByteArray("POST") << "/api/v2/blips"
                              << QStringList{"network=1", "text1=", "message=" + QString::fromUtf8("Listening ♪"), "uid=u1", "count=1",
                                             "title_0=First Love"}
                              << true;
        QTest::newRow("provider token") << 17 << QByteArray("GET") << "/provider/socialize.getToken"
                                        << QStringList{"grant_type=none", "x_siteUID=u1", "?apiKey", "?sig"} << false;
        QTest::newRow("provider user info") << 18 << QByteArray("GET") << "/provider/socialize.getUserInfo"
                                            << QStringList{"?oauth_token", "?sig"} << false;
        QTest::newRow("provider set uid") << 19 << QByteArray("GET") << "/provider/socialize.setUID"
                                          << QStringList{"?oauth_token", "siteUID=u1"} << false;
        QTest::newRow("ad") << 20 << QByteArray("GET") << "/ads/ad" << QStringList{"placement=desktop", "?version", "!oauth_signature"} << false;
        QTest::newRow("ad click") << 21 << QByteArray("GET") << "/ads/click"
                                  << QStringList{"placement=desktop", "link=https://shop.example/item?id=1&x=y"} << false;
    }

    // Method, path and parameters as the server saw them; every service request signed and verified.
    void requestsAsRecorded()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, method);
        QFETCH(QString, path);
        QFETCH(QStringList, params);
        QFETCH(bool, token);
        CRequestReceiver receiver;
        QPointer<Drelk::CHttpTransaction> guard;
        QCOMPARE(StartKind(kind, guard, &receiver), S_OK);
        QVERIFY(guard);
        QTRY_COMPARE(receiver.calls, 1);
        QVERIFY2(receiver.result >= 0, qPrintable(QString::number(uint(receiver.result), 16)));
        const QList<SvTest::CFakeRequest> seen = m_server->RequestsTo(path);
        QCOMPARE(seen.size(), 1);
        const SvTest::CFakeRequest& request = seen.first();
        QCOMPARE(request.method, method);
        for (const QString& param : params) {
            if (param.startsWith(QLatin1Char('!'))) {
                QVERIFY2(!request.HasParam(param.mid(1)), qPrintable(param));
            } else if (param.startsWith(QLatin1Char('?'))) {
                QVERIFY2(!request.Param(param.mid(1)).isEmpty(), qPrintable(param));
            } else {
                const int eq = param.indexOf(QLatin1Char('='));
                QVERIFY2(request.HasParam(param.left(eq)), qPrintable(param));
                QCOMPARE(request.Param(param.left(eq)), param.mid(eq + 1));
            }
        }
        if (path.startsWith(QLatin1String("/api/"))) {
            QVERIFY(request.signatureChecked && request.signatureValid);
            QCOMPARE(request.HasParam(QStringLiteral("oauth_token")), token);
            // Form posts carry everything in the body, GETs in the query.
            QCOMPARE(request.form.isEmpty(), method == "GET");
        }
        QTRY_VERIFY(!guard); // deleted itself after delivering
    }

    void lyricsAnswersParsed()
    {
        CFakeSonveroServer::CLyrics lyrics;
        lyrics.artist = QString::fromUtf8("宇多田ヒカル");
        lyrics.title = QStringLiteral("First Love");
        lyrics.songId = 12;
        lyrics.groupId = Q_INT64_C(5000000000);
        lyrics.version = 4;
        lyrics.lock = 2;
        lyrics.blocked = -105;
        lyrics.lines = {{0, QString::fromUtf8("最後のキスは <たばこ> & flavor")}, {1500, QString()}, {3000, QStringLiteral("end")}};
        m_server->SetLyrics(lyrics);

        CRequestReceiver receiver;
        QPointer<CGetLyricHttpRequestV2> guard;
        CLyricQuery query{lyrics.artist, lyrics.title, QString(), QString(), -1};
        QCOMPARE(CGetLyricHttpRequestV2::StartRequest(guard, &receiver, kSlotLyric, query), S_OK);
        QTRY_COMPARE(receiver.calls, 1);
        QCOMPARE(receiver.result, 0);
        QCOMPARE(receiver.kind, 1);
        QCOMPARE(receiver.lyric.title, QStringLiteral("First Love"));
        QCOMPARE(receiver.lyric.artist, lyrics.artist);
        QCOMPARE(receiver.lyric.songId, 12);
        QCOMPARE(receiver.lyric.groupId, Q_INT64_C(5000000000));
        QCOMPARE(receiver.lyric.version, 4);
        QCOMPARE(receiver.lyric.lockCode, 2);
        QCOMPARE(receiver.lyric.blocked, -105);
        QCOMPARE(receiver.lyric.lines.size(), 3);
        QCOMPARE(receiver.lyric.lines.at(0).text, QString::fromUtf8("最後のキスは <たばこ> & flavor"));
        QCOMPARE(receiver.lyric.lines.at(1).time, 1500);
        QCOMPARE(receiver.lyric.lines.at(1).text, QString());

        query.version = 4; // the version check has no lines
        QCOMPARE(CGetLyricHttpRequestV2::StartRequest(guard, &receiver, kSlotLyric, query), S_OK);
        QTRY_COMPARE(receiver.calls, 2);
        QCOMPARE(receiver.kind, 0);
        QCOMPARE(receiver.lyric.version, 4);
        QVERIFY(receiver.lyric.lines.isEmpty());

        QPointer<CV2SetLyricsRequest> upload;
        QCOMPARE(CV2SetLyricsRequest::StartRequest(upload, &receiver, SLOT(OnSetLyrics(int, SonveroProtocol::CSetLyricsResult)), MakeSong()), S_OK);
        QTRY_COMPARE(receiver.calls, 3);
        QCOMPARE(receiver.result, 0);
        QCOMPARE(receiver.setLyrics.version, 1);
        const CFakeSonveroServer::CLyrics* stored = m_server->FindLyrics(MakeSong().artist, MakeSong().title, MakeSong().album, QStringLiteral("ja"));
        QVERIFY(stored);
        QCOMPARE(receiver.setLyrics.songId, stored->songId);
        QCOMPARE(stored->lines.at(0).text, QString::fromUtf8("最後のキスは"));
    }

    void accountAnswersParsed()
    {
        CRequestReceiver receiver;
        QPointer<Drelk::CHttpTransaction> guard;
        QCOMPARE(StartKind(11, guard, &receiver), S_OK);
        QTRY_COMPARE(receiver.calls, 1);
        QCOMPARE(receiver.users.size(), 2);
        const CUserData& anna = receiver.users.at(0);
        QCOMPARE(anna.id, QStringLiteral("u1"));
        QCOMPARE(anna.email, QStringLiteral("anna@example.com"));
        QCOMPARE(anna.handle, QString::fromUtf8("Анна"));
        QCOMPARE(anna.name_full, QString::fromUtf8("Анна Каренина"));
        QCOMPARE(anna.country, QStringLiteral("RU"));
        QCOMPARE(anna.preferredLanguage, QStringLiteral("ru"));
        QCOMPARE(anna.secondaryLanguage, QStringLiteral("fr"));
        QCOMPARE(anna.authLevel, 2);
        QCOMPARE(anna.gender, QStringLiteral("f"));
        QCOMPARE(anna.birthDate, QDate(1990, 5, 17));

        QCOMPARE(StartKind(7, guard, &receiver), S_OK);
        QTRY_COMPARE(receiver.calls, 2);
        QCOMPARE(receiver.result, 0);
        QCOMPARE(receiver.xauth.userId, QStringLiteral("u1"));
        QCOMPARE(m_server->TokenOwner(receiver.xauth.token), QStringLiteral("u1"));
        QCOMPARE(m_server->TokenSecret(receiver.xauth.token), receiver.xauth.tokenSecret);

        // The fresh token signs further requests.
        QCOMPARE(CV2MergeUsersRequest::StartRequest(guard, &receiver, SLOT(OnResult(int)), QStringLiteral("u2"), receiver.xauth), S_OK);
        QTRY_COMPARE(receiver.calls, 3);
        QCOMPARE(receiver.result, 0);

        QCOMPARE(StartKind(12, guard, &receiver), S_OK);
        QTRY_COMPARE(receiver.calls, 4);
        QVERIFY(m_server->FindUserById(receiver.text));
        QCOMPARE(m_server->FindUserById(receiver.text)->handle, QString::fromUtf8("Ноый"));

        QCOMPARE(StartKind(18, guard, &receiver), S_OK);
        QTRY_COMPARE(receiver.calls, 5);
        QCOMPARE(receiver.providerUser.UID, QStringLiteral("u1"));
        QVERIFY(receiver.providerUser.isSiteUID);
        QCOMPARE(receiver.providerUser.nickname, QString::fromUtf8("Анна К."));
        QCOMPARE(receiver.providerUser.providers, (QSet<int>{3, 20})); // unknown names dropped

        QCOMPARE(StartKind(17, guard, &receiver), S_OK);
        QTRY_COMPARE(receiver.calls, 6);
        QVERIFY(!receiver.text.isEmpty());
    }

    // The id form of xAuth gives a token only with proof; a wrong password is the service's refusal.
    void xauthRefusals()
    {
        CRequestReceiver receiver;
        QPointer<Drelk::CHttpTransaction> guard;
        QCOMPARE(CXAuthAuthorizationRequest::StartRequest(guard, &receiver, SLOT(OnXAuth(int, SonveroProtocol::CXAuthData)), QStringLiteral("u1")), S_OK);
        QTRY_COMPARE(receiver.calls, 1);
        QCOMPARE(receiver.result, SV_E_SERVICE_REFUSED);
        QVERIFY(receiver.xauth.token.isEmpty());

        QCOMPARE(CXAuthAuthorizationRequest::StartRequest(guard, &receiver, SLOT(OnXAuth(int, SonveroProtocol::CXAuthData)),
                                                          QStringLiteral("anna@example.com"), QStringLiteral("wrong")), S_OK);
        QTRY_COMPARE(receiver.calls, 2);
        QCOMPARE(receiver.result, SV_E_SERVICE_REFUSED);

        // Someone else's token is no proof for u2.
        QCOMPARE(CXAuthAuthorizationRequest::StartRequest(guard, &receiver, SLOT(OnXAuth(int, SonveroProtocol::CXAuthData)), QStringLiteral("u2"), m_access), S_OK);
        QTRY_COMPARE(receiver.calls, 3);
        QCOMPARE(receiver.result, SV_E_SERVICE_REFUSED);
    }

    void infoAnswersParsed()
    {
        CFakeSonveroServer::CUpdate update;
        update.needUpdate = true;
        update.mandatory = true;
        update.version = QStringLiteral("1.0.1.300");
        update.url = m_server->UrlFor(QStringLiteral("/files/setup.bin"));
        update.sha256 = QString::fromLatin1(QByteArray(32, '\x11').toHex());
        m_server->SetUpdate(update);
        m_server->SetSystemMessages({{QStringLiteral("m1"), QStringLiteral("https://example.com/news"), QString::fromUtf8("Новости"),
                                      QString::fromUtf8("Text <b>not</b> html — 日本"), QString::fromUtf8("Подробнее")},
                                     {QStringLiteral("m2"), QStringLiteral("javascript:alert(1)"), QString(), QStringLiteral("t"), QString()}});

        CRequestReceiver receiver;
        QPointer<Drelk::CHttpTransaction> guard;
        QCOMPARE(StartKind(5, guard, &receiver), S_OK);
        QTRY_COMPARE(receiver.calls, 1);
        QVERIFY(receiver.update.needupdate);
        QVERIFY(receiver.update.mandatory);
        QCOMPARE(receiver.update.version.ToString(4, false), QStringLiteral("1.0.1.300"));
        QCOMPARE(receiver.update.url, QUrl(update.url));
        QCOMPARE(receiver.update.sha256, QByteArray(32, '\x11'));
        QVERIFY(!receiver.update.downloaded);

        QCOMPARE(StartKind(6, guard, &receiver), S_OK);
        QTRY_COMPARE(receiver.calls, 2);
        QCOMPARE(receiver.messages.size(), 2);
        QCOMPARE(receiver.messages.at(0).title, QString::fromUtf8("Новости"));
        QCOMPARE(receiver.messages.at(0).text, QString::fromUtf8("Text <b>not</b> html — 日本"));
        QCOMPARE(receiver.messages.at(0).button, QString::fromUtf8("Подробнее"));
        QCOMPARE(receiver.messages.at(0).url, QUrl(QStringLiteral("https://example.com/news")));
        QVERIFY(receiver.messages.at(1).url.isEmpty()); // only http and https are kept

        QPointer<CGetAlbumArtRequest> art;
        SongInfo key;
        key.artist = QStringLiteral("Björk");
        key.album = QStringLiteral("Post");
        QCOMPARE(CGetAlbumArtRequest::StartRequest(art, &receiver, SLOT(OnImage(int, QImage)), key), S_OK);
        QCOMPARE(art->GetSong().album, QStringLiteral("Post"));
        QTRY_COMPARE(receiver.calls, 3);
        QCOMPARE(receiver.result, 0);
        QCOMPARE(receiver.image.size(), QSize(4, 3));

        key.album = QStringLiteral("Debut");
        QCOMPARE(CGetAlbumArtRequest::StartRequest(art, &receiver, SLOT(OnImage(int, QImage)), key), S_OK);
        QTRY_COMPARE(receiver.calls, 4);
        QCOMPARE(receiver.result, SV_E_NO_CONTENT);
        QVERIFY(receiver.image.isNull());

        m_server->SetAnswer(QStringLiteral("/api/v2/albumart"), CFakeAnswer::Data(QByteArray(), "image/png"));
        QCOMPARE(CGetAlbumArtRequest::StartRequest(art, &receiver, SLOT(OnImage(int, QImage)), key), S_OK);
        QTRY_COMPARE(receiver.calls, 5);
        QCOMPARE(receiver.result, 0);
        QVERIFY(receiver.image.isNull());

        m_server->SetAnswer(QStringLiteral("/api/v2/albumart"), CFakeAnswer::Data("not a picture", "image/png"));
        QCOMPARE(CGetAlbumArtRequest::StartRequest(art, &receiver, SLOT(OnImage(int, QImage)), key), S_OK);
        QTRY_COMPARE(receiver.calls, 6);
        QCOMPARE(receiver.result, SV_E_BAD_ANSWER);

        QCOMPARE(StartKind(3, guard, &receiver), S_OK);
        QTRY_COMPARE(receiver.calls, 7);
        QCOMPARE(receiver.history.time, quint32(1700000000));
        QCOMPARE(receiver.history.records.size(), 1);
        QCOMPARE(receiver.history.records.at(0).artist, QString::fromUtf8("宇多田ヒカル"));
        QCOMPARE(receiver.history.records.at(0).position, 250);
    }

    void updateUrlWithOtherSchemeIsEmpty()
    {
        CFakeSonveroServer::CUpdate update;
        update.needUpdate = true;
        update.version = QStringLiteral("2.0.0.0");
        update.url = QStringLiteral("file:///tmp/evil.exe");
        update.sha256 = QStringLiteral("abc"); // malformed digest: none
        m_server->SetUpdate(update);
        CRequestReceiver receiver;
        QPointer<Drelk::CHttpTransaction> guard;
        QCOMPARE(StartKind(5, guard, &receiver), S_OK);
        QTRY_COMPARE(receiver.calls, 1);
        QVERIFY(receiver.update.needupdate);
        QVERIFY(receiver.update.url.isEmpty());
        QVERIFY(receiver.update.sha256.isEmpty());
    }

    void errorMapping_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("expected");
        QTest::newRow("service error 1028") << 0 << int(SV_E_SERVICE_REFUSED);
        QTest::newRow("other service error") << 1 << int(SV_E_SERVICE_ERROR);
        QTest::newRow("http 404") << 2 << int(SV_E_NO_CONTENT);
        QTest::newRow("http 500") << 3 << int(SV_E_HTTP_STATUS);
        QTest::newRow("garbage") << 4 << int(SV_E_BAD_ANSWER);
        QTest::newRow("truncated xml") << 5 << int(SV_E_BAD_ANSWER);
        QTest::newRow("ok without payload") << 6 << int(SV_E_BAD_ANSWER);
        QTest::newRow("refused connection") << 7 << int(SV_E_NETWORK_FAILURE);
        QTest::newRow("time-out") << 8 << int(SV_E_TIMED_OUT);
        QTest::newRow("dropped") << 9 << int(SV_E_NETWORK_FAILURE);
    }

    void errorMapping()
    {
        QFETCH(int, kind);
        QFETCH(int, expected);
        const QString path = QStringLiteral("/api/v2/lyrics");
        switch (kind) {
        case 0: m_server->SetAnswer(path, CFakeAnswer::ServiceError(1028, QStringLiteral("no"))); break;
        case 1: m_server->SetAnswer(path, CFakeAnswer::ServiceError(77)); break;
        case 2: m_server->SetAnswer(path, CFakeAnswer::Status(404)); break;
        case 3: m_server->SetAnswer(path, CFakeAnswer::Status(500)); break;
        case 4: m_server->SetAnswer(path, CFakeAnswer::Data("\x01\x02garbage{[")); break;
        case 5: m_server->SetAnswer(path, CFakeAnswer::Xml("<sv status=\"ok\"><lyrics kind=\"1\"><line time=\"0\">a")); break;
        case 6: m_server->SetAnswer(path, CFakeAnswer::ServiceOk("")); break;
        case 7: {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
            QSettings().setValue(QStringLiteral("service/api_url"), QStringLiteral("http://127.0.0.1:%1/api/").arg(closed.serverPort()));
            break;
        }
        case 8:
            QSettings().setValue(QStringLiteral("service/timeout_ms"), 250);
            m_server->SetAnswer(path, CFakeAnswer::Held(CFakeAnswer::ServiceOk("")));
            break;
        case 9: m_server->SetAnswer(path, CFakeAnswer::Dropped()); break;
        }
        CRequestReceiver receiver;
        QPointer<CGetLyricHttpRequestV2> guard;
        CLyricQuery query{QStringLiteral("a"), QStringLiteral("t"), QString(), QString(), -1};
        QCOMPARE(CGetLyricHttpRequestV2::StartRequest(guard, &receiver, kSlotLyric, query), S_OK);
        QTRY_COMPARE_WITH_TIMEOUT(receiver.calls, 1, 10000);
        QCOMPARE(receiver.result, expected);
        QCOMPARE(receiver.kind, 1);
        QTRY_VERIFY(!guard);
    }

    // A request signed with the wrong secret, or changed after signing, is refused by the server.
    void wrongSignatureRefused()
    {
        const auto send = [this](const OAuth::CCredentials& credentials, bool tamper) {
            CoreUrl::CConstructorBase url(m_server->ApiUrl() + QStringLiteral("v2/languages"));
            url.Param("x").value = "1";
            OAuth::Sign(url, "GET", credentials);
            if (tamper)
                url.Param("x").value = "2";
            Drelk::CHttpTransaction transaction;
            transaction.SetURL(url.GetUrl());
            transaction.Start();
            if (!QTest::qWaitFor([&] { return transaction.GetState() == 2; }, 10000))
                return QByteArray("timed out");
            return transaction.GetResponseData();
        };
        OAuth::CCredentials good{CFakeSonveroServer::ConsumerKey, CFakeSonveroServer::ConsumerSecret, QByteArray(), QByteArray()};
        QVERIFY(send(good, false).contains("status=\"ok\""));
        QVERIFY(m_server->LastRequest().signatureValid);

        OAuth::CCredentials wrongSecret = good;
        wrongSecret.consumerSecret = "not the secret";
        QVERIFY(send(wrongSecret, false).contains("code=\"401\""));
        QVERIFY(m_server->LastRequest().signatureChecked && !m_server->LastRequest().signatureValid);

        QVERIFY(send(good, true).contains("code=\"401\""));

        OAuth::CCredentials wrongTokenSecret{good.consumerKey, good.consumerSecret, m_access.token, "bad"};
        QVERIFY(send(wrongTokenSecret, false).contains("code=\"401\""));

        // Through a typed request the refusal is the service's other error.
        CXAuthData badAccess = m_access;
        badAccess.tokenSecret = "bad";
        CRequestReceiver receiver;
        QPointer<Drelk::CHttpTransaction> guard;
        QCOMPARE(CV2MergeUsersRequest::StartRequest(guard, &receiver, SLOT(OnResult(int)), QStringLiteral("u2"), badAccess), S_OK);
        QTRY_COMPARE(receiver.calls, 1);
        QCOMPARE(receiver.result, SV_E_SERVICE_ERROR);
    }

    void startRequestRefusals()
    {
        CRequestReceiver receiver;
        QPointer<Drelk::CHttpTransaction> guard;
        CLyricQuery query{QStringLiteral("a"), QStringLiteral("t"), QString(), QString(), -1};
        QCOMPARE(CGetLyricHttpRequestV2::StartRequest(guard, nullptr, kSlotLyric, query), E_INVALIDARG);
        QCOMPARE(CGetLyricHttpRequestV2::StartRequest(guard, &receiver, nullptr, query), E_INVALIDARG);
        QCOMPARE(CGetLyricHttpRequestV2::StartRequest(guard, &receiver, "", query), E_INVALIDARG);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("QObject::connect.*No such slot")));
        QCOMPARE(CGetLyricHttpRequestV2::StartRequest(guard, &receiver, SLOT(NoSuchSlot(int)), query), E_FAIL);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("QObject::connect.*[Ii]ncompatible")));
        QCOMPARE(CGetLyricHttpRequestV2::StartRequest(guard, &receiver, SLOT(OnImage(int, QImage)), query), E_FAIL);
        // Building fails: arguments the request cannot send.
        QCOMPARE(CV2ResetPasswordRequest::StartRequest(guard, &receiver, SLOT(OnResult(int)), QString()), E_INVALIDARG);
        QCOMPARE(CV2GetUserDataRequest::StartRequestWithId(guard, &receiver, SLOT(OnUsers(int, QList<SonveroProtocol::CUserData>)), QStringList()), E_INVALIDARG);
        QCOMPARE(CPostPlayHistoryRequest::StartRequest(guard, &receiver, SLOT(OnHistory(int, SonveroProtocol::CPlayHistoryDesc)), CPlayHistoryDesc(), CXAuthData()), E_INVALIDARG);
        SongLyrics noTitle = MakeSong();
        noTitle.title.clear();
        QCOMPARE(CV2SetLyricsRequest::StartRequest(guard, &receiver, SLOT(OnSetLyrics(int, SonveroProtocol::CSetLyricsResult)), noTitle), SV_E_TITLE_OR_ARTIST_MISSING);
        QVERIFY(!guard);
        QVERIFY(m_server->Requests().isEmpty());
        QTest::qWait(50);
        QCOMPARE(receiver.calls, 0);
        QCOMPARE(receiver.children().size(), 0);
    }

    void blipNetworks_data()
    {
        QTest::addColumn<int>("network");
        QTest::addColumn<int>("expected");
        QTest::newRow("facebook") << 0 << int(S_OK);
        QTest::newRow("twitter") << 1 << int(S_OK);
        QTest::newRow("network 2") << 2 << int(E_INVALIDARG);
        QTest::newRow("none") << -1 << int(E_INVALIDARG);
    }

    void blipNetworks()
    {
        QFETCH(int, network);
        QFETCH(int, expected);
        CPostBlipDesc blip;
        blip.networkId = network;
        blip.message = QStringLiteral("hi");
        if (expected != S_OK)
            QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("CV2PostBlipRequest::Modify: network id=[%1] not yet supported").arg(network)));
        CRequestReceiver* receiver = new CRequestReceiver;
        QPointer<SonveroProtocol::CV2PostBlipRequest> guard;
        QCOMPARE(CV2PostBlipRequest::StartRequest(guard, receiver, SLOT(OnBlip(int, SonveroProtocol::CPostBlipResponseData)), blip, m_access),
                 HRESULT(expected));
        if (expected == S_OK) {
            QCOMPARE(guard->parent(), receiver); // goes with its receiver
            QTRY_COMPARE(receiver->calls, 1);
            QCOMPARE(receiver->result, 0);
            QVERIFY(!receiver->blip.blipId.isEmpty());
        } else {
            QVERIFY(!guard);
            QCOMPARE(m_server->RequestCount(QStringLiteral("/api/v2/blips")), 0);
        }
        delete receiver;
    }

    void guardClearedAfterSelfDeletion()
    {
        CRequestReceiver receiver;
        QPointer<QObject> anyGuard;
        QPointer<CV2ResetPasswordRequest> typedGuard;
        QCOMPARE(CV2ResetPasswordRequest::StartRequest(anyGuard, &receiver, SLOT(OnResult(int)), QStringLiteral("anna@example.com")), S_OK);
        QCOMPARE(CV2ResetPasswordRequest::StartRequest(typedGuard, &receiver, SLOT(OnResult(int)), QStringLiteral("nobody@example.com")), S_OK);
        QVERIFY(anyGuard && typedGuard);
        QVERIFY(typedGuard->DeletesItself());
        QSignalSpy destroyed(typedGuard.data(), &QObject::destroyed);
        QTRY_COMPARE(receiver.calls, 2);
        QTRY_VERIFY(!anyGuard && !typedGuard);
        QCOMPARE(destroyed.count(), 1);
    }

    // A receiver gone while the answer is on its way is never called; a holder may release a running
    // request at any time.
    void receiverDeletedMidFlight()
    {
        m_server->SetAnswer(QStringLiteral("/api/v2/users/resetpassword"), CFakeAnswer::Held(CFakeAnswer::ServiceOk("")));
        CRequestReceiver* receiver = new CRequestReceiver;
        int calledAfterDeletion = 0;
        QPointer<Drelk::CHttpTransaction> first;
        QPointer<Drelk::CHttpTransaction> second;
        QCOMPARE(CV2ResetPasswordRequest::StartRequest(first, receiver, SLOT(OnResult(int)), QStringLiteral("a@example.com")), S_OK);
        QCOMPARE(CV2ResetPasswordRequest::StartRequest(second, receiver, SLOT(OnResult(int)), QStringLiteral("b@example.com")), S_OK);
        connect(static_cast<CV2ResetPasswordRequest*>(first.data()), &CV2ResetPasswordRequest::WhenCompleted, this,
                [&calledAfterDeletion](int) { ++calledAfterDeletion; });
        QTRY_COMPARE(m_server->HeldCount(), 2);
        delete receiver;
        // The holder drops the second one before its answer (double release is harmless).
        second->disconnect();
        second->deleteLater();
        second->deleteLater();
        m_server->ReleaseHeld();
        QTRY_VERIFY(!first && !second);
        QCOMPARE(calledAfterDeletion, 1); // the request still completed and cleaned up
    }

    void languagesRequestOwnedByCaller()
    {
        m_server->SetLanguages({QStringLiteral("de"), QStringLiteral("zh-TW"), QStringLiteral("de"), QStringLiteral("")});
        Drelk::CGetLanguagesHttpRequest request;
        QSignalSpy states(&request, &Drelk::CHttpTransaction::WhenStateChanged);
        QCOMPARE(request.Start(), S_OK);
        QTRY_COMPARE(request.GetState(), 2);
        QCOMPARE(request.GetResult(), 0);
        QCOMPARE(request.GetLanguages(), (QStringList{QStringLiteral("de"), QStringLiteral("zh-TW")}));
        QVERIFY(m_server->LastRequest().signatureValid);
        QVERIFY(!request.DeletesItself());

        m_server->SetAnswer(QStringLiteral("/api/v2/languages"), CFakeAnswer::Status(500));
        QCOMPARE(request.Start(), S_OK); // again, and it failing keeps the last list
        QTRY_COMPARE(request.GetState(), 2);
        QCOMPARE(request.GetResult(), SV_E_HTTP_STATUS);
        QCOMPARE(m_server->RequestCount(QStringLiteral("/api/v2/languages")), 2);
        QVERIFY(states.count() >= 4);
    }

    void playRecordFromSong()
    {
        SongLyrics song = MakeSong();
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        CPlayRecord record = CPlayHistoryUtil::MakePlayRecord(song, QStringLiteral("u9"));
        QCOMPARE(record.artist, song.artist);
        QCOMPARE(record.title, song.title);
        QCOMPARE(record.album, song.album);
        QCOMPARE(record.duration, 250);
        QCOMPARE(record.position, 250);
        QCOMPARE(record.user, QStringLiteral("u9"));
        QCOMPARE(record.device, QStringLiteral("desktop-linux"));
        QCOMPARE(record.source, QStringLiteral("local"));
        QCOMPARE(record.groupId, qint64(5));
        QVERIFY(record.message.isEmpty());
        QVERIFY(record.time >= before && record.time <= before + 2);
        song.position = 99999;
        QCOMPARE(CPlayHistoryUtil::MakePlayRecord(song, QString()).position, 99);
    }

    void connectionStateFollowsTheProbe()
    {
        NetList::InjectState(NetList::EConnectivity::Connected);
        CServiceTestInternetConnection service;
        QCOMPARE(service.GetState(), S_OK);
        QSignalSpy changes(&service, &CServiceTestInternetConnection::WhenStateChanged);
        NetList::InjectState(NetList::EConnectivity::Disconnected);
        service.Refresh();
        QCOMPARE(service.GetState(), SV_E_NO_INTERNET);
        QVERIFY(service.GetState() < 0);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).toInt(), int(SV_E_NO_INTERNET));
        service.Refresh(); // unchanged: no signal
        QCOMPARE(changes.count(), 1);
        NetList::InjectState(NetList::EConnectivity::Connected);
        service.Refresh();
        QCOMPARE(service.GetState(), S_OK);
        QCOMPARE(changes.count(), 2);
    }
};

SV_TEST_MAIN(TestServiceRequests)
#include "tst_servicerequests.moc"
