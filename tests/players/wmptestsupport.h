#pragma once
// Helpers of the tests that run the Windows Media Player client and its library objects on the simulated player.
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include "platform/wmp/simplayer.h"
#include "players/playerclientdispatcher.h"
#include "players/wmp/iplayerclientwmpsongprivimpl.h"
#include "players/wmp/playerclientwmp.h"
#include "support/mediawriter.h"
#include "support/testenvironment.h"

typedef CIUnknownPtr<IPlayerClientSong> CSongPtr;
typedef QVector<HRESULT> Codes;

inline Platform::Wmp::CSimPlayer* Sim()
{
    return Platform::Wmp::CSimPlayer::Instance();
}

// A song object of owner over the library item id.
inline CSongPtr WmpSongOf(quint32 id, CPlayerClientWMP* owner)
{
    CIUnknownPtr<IWMPMedia> media;
    media.Attach(Sim()->NewMediaObject(Sim()->Library().FindById(id)));
    CIUnknownPtr<IPlayerClientWmpSongPriv> song;
    CIPlayerClientWmpSongPrivImpl::CreateInstanceWithRawInteface(owner, media, song.Out());
    return CSongPtr(song.Get());
}

// Titles of a list's songs, in order.
inline QStringList Titles(IPlayerClientCollectionSong* list)
{
    QStringList titles;
    for (int i = 0; i < list->GetItemCount(); ++i) {
        CSongPtr song;
        CSongMetadata record;
        list->GetItem(i, song.Out());
        titles << (song && SUCCEEDED(song->GetMetadata(&record)) ? record.title : "<failed>");
    }
    return titles;
}

// A client over the running simulated player with fresh settings for each test, and one tagged file for songs.
class CWmpClientFixture
{
protected:
    CPlayerClientDispatcher* m_dispatcher = nullptr;
    CPlayerClientWMP* m_client = nullptr;
    QTemporaryDir m_dir;
    QString m_file = m_dir.filePath("a.mp3");

    void SetUpClient()
    {
        QVERIFY(QFile::exists(m_file) || SvTest::WriteMp3(m_file, SvTest::CMediaTags()));
        SvTest::Environment()->Reset();
        Sim()->Reset();
        Sim()->SetRunning(true);
        m_dispatcher = new CPlayerClientDispatcher();
        m_client = new CPlayerClientWMP(m_dispatcher);
    }
    void TearDownClient()
    {
        delete m_dispatcher;
        m_dispatcher = nullptr;
        // No sink of a deleted client is left with the player.
        QCOMPARE(Sim()->SinkCount(), 0);
    }
    quint32 Song(const QString& title, const QString& artist = "x", const QString& album = "y", int track = 0)
    {
        return Sim()->AddMedia({{"Title", title}, {"Author", artist}, {"WM/AlbumTitle", album}, {"SourceURL", m_file},
                                {"WM/TrackNumber", track ? QString::number(track) : QString()}, {"Duration", "100"}});
    }
    CSongPtr SongOf(quint32 id, CPlayerClientWMP* owner = nullptr) { return WmpSongOf(id, owner ? owner : m_client); }
};
