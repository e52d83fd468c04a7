#include "webservice/protocol/protocolrecords.h"

#include <QDateTime>
#include <QImage>

namespace SonveroProtocol {

void RegisterMetaTypes()
{
    static const bool registered = [] {
        qRegisterMetaType<CLyricQuery>("SonveroProtocol::CLyricQuery");
        qRegisterMetaType<CLyricDesc>("SonveroProtocol::CLyricDesc");
        qRegisterMetaType<CSetLyricsResult>("SonveroProtocol::CSetLyricsResult");
        qRegisterMetaType<CPlayRecord>("SonveroProtocol::CPlayRecord");
        qRegisterMetaType<CPlayHistoryDesc>("SonveroProtocol::CPlayHistoryDesc");
        qRegisterMetaType<CUpdateDesc>("SonveroProtocol::CUpdateDesc");
        qRegisterMetaType<CSystemMsgDesc>("SonveroProtocol::CSystemMsgDesc");
        qRegisterMetaType<CSystemMsgDescList>("SonveroProtocol::CSystemMsgDescList");
        qRegisterMetaType<CXAuthData>("SonveroProtocol::CXAuthData");
        qRegisterMetaType<CUserData>("SonveroProtocol::CUserData");
        qRegisterMetaType<QList<CUserData>>("QList<SonveroProtocol::CUserData>");
        qRegisterMetaType<CPostBlipDesc>("SonveroProtocol::CPostBlipDesc");
        qRegisterMetaType<CPostBlipResponseData>("SonveroProtocol::CPostBlipResponseData");
        qRegisterMetaType<QImage>("QImage");
        return true;
    }();
    Q_UNUSED(registered)
}

} // namespace SonveroProtocol

const char CPlayHistoryUtil::DeviceName[] = "desktop-linux";

SonveroProtocol::CPlayRecord CPlayHistoryUtil::MakePlayRecord(const SongLyrics& song, const QString& user)
{
    SonveroProtocol::CPlayRecord record;
    record.artist = song.artist;
    record.title = song.title;
    record.album = song.album;
    record.duration = song.duration;
    const int seconds = song.position / 1000;
    record.position = qBound(0, seconds, qMax(0, song.duration));
    record.user = user;
    record.device = QString::fromLatin1(DeviceName);
    record.source = QStringLiteral("local");
    record.time = static_cast<quint32>(QDateTime::currentSecsSinceEpoch());
    record.groupId = song.groupId;
    return record;
}
