#pragma once
// The records that web-service requests deliver and take. All are copyable values registered as meta types
// under their namespace-qualified names, as the receivers' slot signatures spell them.
#include <QByteArray>
#include <QDate>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUrl>

#include "core/songtypes.h"
#include "core/versionnumber.h"

namespace SonveroProtocol {

// What a lyrics request asks for; version -1 asks for the full lyrics, 0 or more for a version check.
struct CLyricQuery
{
    QString artist;
    QString title;
    QString album;
    QString language;
    int version = -1;
};

// The lyrics of a song as the service answers them.
struct CLyricDesc
{
    QString title;
    int songId = 0;
    QString album;
    QString artist;
    CLyricLines lines;  // time in milliseconds and text per line
    int version = -1;
    int lockCode = 0;   // 0 unlocked, 1 locked, 2 locked and not timable
    int blocked = 0;    // 0 available, -100 blocked, -105 blocked in the user's country, other non-zero blocked
    qint64 groupId = 0;
};

// The answer to a lyric upload.
struct CSetLyricsResult
{
    int version = 0;
    int songId = 0;
    int groupId = 0;
};

// One play of a song.
struct CPlayRecord
{
    QString artist;
    QString title;
    QString album;
    int duration = 0;  // seconds
    int position = 0;  // seconds played up to, at most the duration
    QString user;      // the service user id
    QString device;
    QString source;
    quint32 time = 0;  // seconds since 1970
    qint64 groupId = 0;
    QString message;
};

// Play records with the time they were sent (seconds since 1970).
struct CPlayHistoryDesc
{
    quint32 time = 0;
    QList<CPlayRecord> records;
};

// The published update.
struct CUpdateDesc
{
    bool needupdate = false;
    bool mandatory = false;
    CVersionNumber version;
    QUrl url;              // http or https only; anything else reads as empty
    bool downloaded = false;
    QByteArray sha256;     // raw digest of the installer; empty when the service gave none
};

// One system message.
struct CSystemMsgDesc
{
    QString id;
    QUrl url;     // http or https only
    QString title;
    QString text;
    QString button;
};

class CSystemMsgDescList : public QList<CSystemMsgDesc>
{
public:
    using QList<CSystemMsgDesc>::QList;
    CSystemMsgDescList() = default;
};

// The access token of a signed-in user; also the credentials requests are signed with.
struct CXAuthData
{
    QByteArray token;
    QByteArray tokenSecret;
    QString userId;

    bool IsEmpty() const { return token.isEmpty(); }
};

// A service user's data.
struct CUserData
{
    QString id;
    QString email;
    QString name_full;
    QString handle;
    QString country;
    QString preferredLanguage;
    QString secondaryLanguage;
    int authLevel = 0;
    QString gender;
    QDate birthDate;
};

// A blip to post: network 0 (Facebook) or 1 (Twitter).
struct CPostBlipDesc
{
    int networkId = -1;
    QString text1;    // left empty by the blip operation
    QString message;
    QString userId;   // the service user id
    QList<CPlayRecord> plays;
};

// The answer to a posted blip.
struct CPostBlipResponseData
{
    QString blipId;
};

// Registers every record as a meta type (idempotent).
void RegisterMetaTypes();

} // namespace SonveroProtocol

// Builds play records from songs.
class CPlayHistoryUtil
{
public:
    // The device name sent with plays: constant, so no host or user name leaves the machine.
    static const char DeviceName[];

    // A play of the song by the given service user, stamped now; position in seconds, capped at the duration.
    static SonveroProtocol::CPlayRecord MakePlayRecord(const SongLyrics& song, const QString& user);
};

Q_DECLARE_METATYPE(SonveroProtocol::CLyricQuery)
Q_DECLARE_METATYPE(SonveroProtocol::CLyricDesc)
Q_DECLARE_METATYPE(SonveroProtocol::CSetLyricsResult)
Q_DECLARE_METATYPE(SonveroProtocol::CPlayRecord)
Q_DECLARE_METATYPE(SonveroProtocol::CPlayHistoryDesc)
Q_DECLARE_METATYPE(SonveroProtocol::CUpdateDesc)
Q_DECLARE_METATYPE(SonveroProtocol::CSystemMsgDesc)
Q_DECLARE_METATYPE(SonveroProtocol::CSystemMsgDescList)
Q_DECLARE_METATYPE(SonveroProtocol::CXAuthData)
Q_DECLARE_METATYPE(SonveroProtocol::CUserData)
Q_DECLARE_METATYPE(QList<SonveroProtocol::CUserData>)
Q_DECLARE_METATYPE(SonveroProtocol::CPostBlipDesc)
Q_DECLARE_METATYPE(SonveroProtocol::CPostBlipResponseData)
