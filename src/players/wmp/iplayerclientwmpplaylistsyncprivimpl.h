#pragma once
// The Windows Media Player device-sync list. The selection lives in the player's library: each selected
// song carries the client's sync identifier in its "UserCustom1" attribute, and every question about the
// list is a query for that marker. Emptying the list is a new identifier, which makes every old marker
// stale at once.
#include <QPointer>
#include <QString>

#include "platform/wmp/wmpinterfaces.h"
#include "players/playerclientinterfaces.h"
#include "players/playerclientplaylistsyncbase.h"
#include "players/wmp/playerclientwmp.h"

class QTimer;
class CPlayerClientWMPHelper;
struct IWMPQuery;

class CIPlayerClientWmpPlaylistSyncPrivImpl : public CPlayerClientPlaylistSyncImplT<IPlayerClientWmpPlaylistSyncPriv>
{
    Q_OBJECT
public:
    CIPlayerClientWmpPlaylistSyncPrivImpl();
    ~CIPlayerClientWmpPlaylistSyncPrivImpl() override;

    // A new sync list of owner, one reference in out.
    static HRESULT CreateInstance(CPlayerClientWMP* owner, IPlayerClientWmpPlaylistSyncPriv** out);

    HRESULT QueryInterface(const IID& iid, void** object) override;

    int GetItemCount() override;
    HRESULT GetItem(int index, IPlayerClientSong** item) override;
    HRESULT GetFiles(QList<CFileMetadata>& files) override;
    HRESULT AddItem(IPlayerClientSong* song) override;
    HRESULT RemoveItem(IPlayerClientSong* song) override;
    HRESULT GetArtistStat(const QString& artist, int* result) override;
    HRESULT GetAlbumStat(const QString& album, int* result) override;
    HRESULT GetArtistAlbumStat(const QString& artist, const QString& album, int* result) override;
    HRESULT GetLibraryStat(int* result) override;
    HRESULT HasItem(IPlayerClientSong* song) override;
    HRESULT Clear() override;
    HRESULT GetSnapshot(IPlayerClientPlaylist** snapshot) override;
    HRESULT GetRawInterface(IWMPPlaylist** playlist) override;
    HRESULT Invalidate() override;

    // The marker text of the current selection.
    QString GetSyncUuidText() const { return m_uuidText; }
    bool IsUpdatePending() const;

public slots:
    void OnLibraryChanged(int kind, void* data);

protected:
    void DoReleasePlayerObject() override;
    void DoInvalidate() override;

private:
    HRESULT Initialize(CPlayerClientWMP* owner);
    CPlayerClientWMPHelper* Helper() const;
    // The media item of a song of this player; 1 for a null or foreign song (nothing logged), else a
    // result code after the method's log line.
    HRESULT SongMedia(IPlayerClientSong* song, const char* method, IWMPMedia** media);
    HRESULT ReadMarker(IPlayerClientSong* song, const char* method, IWMPMedia** media, QString& marker);
    HRESULT WriteMarker(IWMPMedia* media, const QString& value, const char* method);
    HRESULT GetStat(const char* method, const QString* artist, const QString* album, int* result);
    HRESULT CountMarked(IWMPMediaCollection2* collection, const char* method, const char* label,
                        const QString* artist, const QString* album, bool marked, int* count);

    QPointer<CPlayerClientWMP> m_wmpOwner;
    IWMPPlaylist* m_playlist = nullptr;  // the cached selection, null when stale
    QString m_uuidText;
    QTimer* m_updateTimer;
};
