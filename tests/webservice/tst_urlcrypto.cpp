#include "support/testmain.h"

#include "support/fakesonveroserver.h"
#include "webservice/crypto.h"
#include "webservice/url/coreurl.h"
#include "webservice/url/oauth.h"

using CoreUrl::CParamList;

class TestUrlCrypto : public QObject
{
    Q_OBJECT
private slots:
    void encodeValue_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("unreserved stay") << QByteArray("azAZ09-._~") << QByteArray("azAZ09-._~");
        QTest::newRow("space, reserved, plus and percent") << QByteArray(" /?#[]@!$&'()*+,;=:%")
                                                           << QByteArray("%20%2F%3F%23%5B%5D%40%21%24%26%27%28%29%2A%2B%2C%3B%3D%3A%25");
        QTest::newRow("utf-8") << QString::fromUtf8("é日本").toUtf8() << QByteArray("%C3%A9%E6%97%A5%E6%9C%AC");
        QTest::newRow("nul and high byte") << QByteArray("\x00\xff", 2) << QByteArray("%00%FF");
    }

    void encodeValue()
    {
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, encoded);
        QCOMPARE(CoreUrl::EncodeValue(plain), encoded);
        QCOMPARE(CoreUrl::DecodeValue(encoded), plain);
        // The fake server's independent encoder agrees.
        QCOMPARE(plain.toPercentEncoding(), encoded);
    }

    // The stored-account layout: pairs encoded, listed, re-read as they stand, signed and encrypted.
    void paramListRoundTrip()
    {
        CParamList list;
        CoreUrl::SetParamNumber(list.Param("account.state"), 1);
        CoreUrl::SetParamString(list.Param("user"), QString::fromUtf8("ユーザー@example.com"));
        CoreUrl::SetParamString(list.Param("nick"), QString::fromUtf8("Zoë & co=1"));
        list.Param("token").value = CoreUrl::EncodeValue(QByteArray("t&k=n\x00\x01", 7));
        list.Param("secret").value = CoreUrl::EncodeValue(QByteArray());
        QCOMPARE(&list.Param("user"), &list.Param("user")); // find, not append
        QCOMPARE(list.Count(), 5);
        const QByteArray text = list.EncodedQuery();
        QVERIFY(text.startsWith("account.state=1&user=%E3%83%A6"));

        CParamList read;
        read.AddEncodedQuery(text);
        QCOMPARE(read.EncodedQuery(), text);
        QCOMPARE(CoreUrl::GetUrlQueryValueUtf8(read.Param("nick")), QString::fromUtf8("Zoë & co=1"));
        QCOMPARE(CoreUrl::GetParamValue(read.Param("token")), QByteArray("t&k=n\x00\x01", 7));

        read.Param("sig").value = CoreUrl::EncodeValue(CoreUrl::HmacHex("key", text));
        CParamList back;
        back.AddEncodedQuery(Crypto::DecryptString(Crypto::EncryptString(QString::fromUtf8(read.EncodedQuery()))).toUtf8());
        const QByteArray storedSig = CoreUrl::GetParamValue(back.Param("sig"));
        back.RemoveParam("sig");
        QCOMPARE(back.EncodedQuery(), text);
        QCOMPARE(CoreUrl::HmacHex("key", back.EncodedQuery()), storedSig);

        // Malformed input is kept as it stands.
        CParamList odd;
        odd.AddEncodedQuery("a&=b&c=d=e&&");
        QCOMPARE(odd.Count(), 3);
        QCOMPARE(odd.Params().at(2).value, QByteArray("d=e"));
        QCOMPARE(CoreUrl::DecodeValue("%zz%4"), QByteArray("%zz%4"));
    }

    void constructorKeepsQueryOrder()
    {
        CoreUrl::CConstructorBase url(QStringLiteral("https://Api.example/v2/x?b=2&a=x%20y#frag"));
        QCOMPARE(url.GetBaseUrl(), QStringLiteral("https://Api.example/v2/x"));
        QCOMPARE(CoreUrl::GetUrlQueryValueUtf8(url.Param("a")), QStringLiteral("x y"));
        CoreUrl::SetParamString(url.Param("c"), QStringLiteral("ä"));
        url.Param("b").value = "3";
        QCOMPARE(url.GetUrl().toEncoded(), QByteArray("https://api.example/v2/x?b=3&a=x%20y&c=%C3%A4"));
    }

    void hmacMatchesRfc2202_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("digest");
        QTest::newRow("1") << QByteArray(20, '\x0b') << QByteArray("Hi There")
                           << QByteArray("b617318655057264e28bc0b6fb378c8ef146be00");
        QTest::newRow("2") << QByteArray("Jefe") << QByteArray("what do ya want for nothing?")
                           << QByteArray("effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
        QTest::newRow("6: key longer than a block") << QByteArray(80, '\xaa')
                                                    << QByteArray("Test Using Larger Than Block-Size Key - Hash Key First")
                                                    << QByteArray("aa4ae5e15272d00e95705637ce8a3b55ed402112");
    }

    void hmacMatchesRfc2202()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, digest);
        QCOMPARE(CoreUrl::HmacHex(key, data), digest);
    }

    // The published OAuth 1.0 example ("photos"), computed by the program and by the fake server.
    void oauthExampleVector()
    {
        CoreUrl::CConstructorBase url(QStringLiteral("http://photos.example.net/photos?file=vacation.jpg&size=original"));
        OAuth::CCredentials credentials{"dpf43f3p2l4k3l03", "kd94hf93k423kf44", "nnch734d00sl2jdk", "pfkkdhi9sl3r4s00"};
        OAuth::Sign(url, "GET", credentials, "kllo9940pd9333jh", 1191242096);
        const QByteArray expectedBase =
            "GET&http%3A%2F%2Fphotos.example.net%2Fphotos&file%3Dvacation.jpg%26oauth_consumer_key%3Ddpf43f3p2l4k3l03"
            "%26oauth_nonce%3Dkllo9940pd9333jh%26oauth_signature_method%3DHMAC-SHA1%26oauth_timestamp%3D1191242096"
            "%26oauth_token%3Dnnch734d00sl2jdk%26oauth_version%3D1.0%26size%3Doriginal";
        QVector<CoreUrl::CParam> params = url.Query().Params();
        QCOMPARE(OAuth::BaseString("GET", QUrl(url.GetBaseUrl()), params), expectedBase);
        QCOMPARE(CoreUrl::GetParamValue(url.Param("oauth_signature")), QByteArray("tR3+Ty81lMeYAr/Fid0kMTYa/WM="));

        SvTest::CParamPairs pairs;
        for (const CoreUrl::CParam& param : params)
            pairs << qMakePair(QString::fromUtf8(param.name), CoreUrl::GetUrlQueryValueUtf8(param));
        const QByteArray serverBase =
            SvTest::CFakeSonveroServer::OAuthBaseString("GET", "http://photos.example.net/photos", pairs);
        QCOMPARE(serverBase, expectedBase);
        QCOMPARE(SvTest::CFakeSonveroServer::OAuthSignature(serverBase, "kd94hf93k423kf44", "pfkkdhi9sl3r4s00"),
                 QByteArray("tR3+Ty81lMeYAr/Fid0kMTYa/WM="));

        // The signed address: no default port, no query, lower-case host, a path of at least "/".
        QCOMPARE(OAuth::NormalizedUrl(QUrl(QStringLiteral("HTTP://Example.COM:80/r%20v/X?id=1"))), QByteArray("http://example.com/r%20v/X"));
        QCOMPARE(OAuth::NormalizedUrl(QUrl(QStringLiteral("https://example.com:443"))), QByteArray("https://example.com/"));
    }

    void aesKnownAnswersAndRoundTrip()
    {
        // FIPS-197 example block, then the PKCS#7 block of a full-block input.
        const QByteArray key = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
        const QByteArray cipher = Crypto::EncryptBytes(QByteArray::fromHex("00112233445566778899aabbccddeeff"), key);
        QCOMPARE(cipher.size(), 32);
        QCOMPARE(cipher.left(16).toHex(), QByteArray("69c4e0d86a7b0430d8cdb78070b4c55a"));
        QCOMPARE(Crypto::DecryptBytes(cipher, key).toHex(), QByteArray("00112233445566778899aabbccddeeff"));

        // The stored-record key is pinned: a change loses stored accounts.
        QCOMPARE(Crypto::LocalStorageKey(), QByteArray("SvLocalStore#201"));
        QCOMPARE(Crypto::EncryptString(QString::fromUtf8("Sonvero ☃ 日本")),
                 QStringLiteral("/+bUwFYTYzl8JbTDskQ4hcijI6hiJCPPaswiux3K4VQ="));
        QCOMPARE(Crypto::EncryptString(QString()), QStringLiteral("o/+kd5JPbUYyX+0mxxvJYQ=="));
        for (int length : {0, 1, 15, 16, 17, 1000}) {
            const QString text = QString(length, QChar(0x263A));
            QCOMPARE(Crypto::DecryptString(Crypto::EncryptString(text)), text);
        }
    }

    void aesGarbageGivesEmptyText_data()
    {
        QTest::addColumn<QString>("input");
        QTest::newRow("not base64") << QStringLiteral("***not base64***");
        QTest::newRow("short block") << QString::fromLatin1(QByteArray(10, 'x').toBase64());
        QTest::newRow("bad padding") << QString::fromLatin1(QByteArray(32, '\x5a').toBase64());
    }

    void aesGarbageGivesEmptyText()
    {
        QFETCH(QString, input);
        QCOMPARE(Crypto::DecryptString(input), QString());
        QCOMPARE(Crypto::DecryptBytes(QByteArray(16, 'a'), QByteArray(5, 'k')), QByteArray());
    }
};

SV_TEST_MAIN(TestUrlCrypto)
#include "tst_urlcrypto.moc"
