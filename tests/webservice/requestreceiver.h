#pragma once
// Receives the completion of every request kind in tests and keeps what arrived.
#include <QBuffer>
#include <QImage>
#include <QObject>

#include "webservice/drelk/addesc.h"
#include "webservice/gigya/gigyaprotocol.h"
#include "webservice/protocol/protocolrecords.h"

class CRequestReceiver : public QObject
{
    Q_OBJECT
public:
    int calls = 0;
    int result = 1;
    int kind = -1;
    SonveroProtocol::CLyricDesc lyric;
    SonveroProtocol::CSetLyricsResult setLyrics;
    SonveroProtocol::CPlayHistoryDesc history;
    QImage image;
    SonveroProtocol::CUpdateDesc update;
    SonveroProtocol::CSystemMsgDescList messages;
    SonveroProtocol::CXAuthData xauth;
    QList<SonveroProtocol::CUserData> users;
    QString text;
    SonveroProtocol::CPostBlipResponseData blip;
    GigyaProtocol::CUserData providerUser;
    Drelk::CAdDesc ad;

public slots:
    void OnLyric(int r, int k, const SonveroProtocol::CLyricDesc& d) { Hit(r); kind = k; lyric = d; }
    void OnSetLyrics(int r, const SonveroProtocol::CSetLyricsResult& d) { Hit(r); setLyrics = d; }
    void OnHistory(int r, const SonveroProtocol::CPlayHistoryDesc& d) { Hit(r); history = d; }
    void OnImage(int r, const QImage& i) { Hit(r); image = i; }
    void OnUpdate(int r, const SonveroProtocol::CUpdateDesc& d) { Hit(r); update = d; }
    void OnMessages(int r, const SonveroProtocol::CSystemMsgDescList& d) { Hit(r); messages = d; }
    void OnXAuth(int r, const SonveroProtocol::CXAuthData& d) { Hit(r); xauth = d; }
    void OnUsers(int r, const QList<SonveroProtocol::CUserData>& d) { Hit(r); users = d; }
    void OnText(int r, const QString& t) { Hit(r); text = t; }
    void OnResult(int r) { Hit(r); }
    void OnBlip(int r, const SonveroProtocol::CPostBlipResponseData& d) { Hit(r); blip = d; }
    void OnProviderUser(int r, const GigyaProtocol::CUserData& d) { Hit(r); providerUser = d; }
    void OnAd(int r, const Drelk::CAdDesc& d) { Hit(r); ad = d; }
    void OnLogin(const QString& token, const GigyaProtocol::CUserData& d) { Hit(0); text = token; providerUser = d; }

private:
    void Hit(int r) { ++calls; result = r; }
};

// A small PNG in one colour.
inline QByteArray PngBytes(const QSize& size, const QColor& color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
