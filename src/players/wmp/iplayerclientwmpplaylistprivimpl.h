#pragma once
// A playlist of the Windows Media Player library: a user playlist over the player's own, or a filtered
// list of songs (the library, an artist, an album, an artist's album, one song) rebuilt by a query. It
// follows the client's library changes and goes dead when the player goes away.
#include <QPointer>
#include <QString>

#include "core/mediametadata.h"
#include "platform/wmp/wmpinterfaces.h"
#include "players/playerclientinterfaces.h"
#include "players/playerclientobjectbase.h"
#include "players/wmp/playerclientwmp.h"

class CPlayerClientWMPHelper;

class CIPlayerClientWmpPlaylistPrivImpl : public CPlayerClientNotifyImplT<IPlayerClientWmpPlaylistPriv>
{
    Q_OBJECT
public:
    CIPlayerClientWmpPlaylistPrivImpl();
    ~CIPlayerClientWmpPlaylistPrivImpl() override;

    // A user playlist over playlist (kind 4). An automatic playlist with allowAuto 0 ends with 1 and no object.
    static HRESULT CreateInstanceWithRawInteface(CPlayerClientWMP* owner, IWMPPlaylist* playlist, int allowAuto,
                                                 IPlayerClientWmpPlaylistPriv** out);
    // Kind 0 (the text is ignored), 1 (artist) or 2 (album).
    static HRESULT CreateInstanceWithKind(CPlayerClientWMP* owner, int kind, const QString& filter,
                                          IPlayerClientWmpPlaylistPriv** out);
    // Kind 3 (artist and album) or 6 (artist, album and title).
    static HRESULT CreateInstanceWithKind(CPlayerClientWMP* owner, int kind, const CFileMetadata& filter,
                                          IPlayerClientWmpPlaylistPriv** out);
    // A playlist attribute by name, empty on failure.
    static QString GetRawAttribute(IWMPPlaylist* playlist, const QString& name);

    HRESULT QueryInterface(const IID& iid, void** object) override;

    int GetKind() override;
    HRESULT Refresh() override;
    int GetItemCount() override;
    HRESULT GetItem(int index, IPlayerClientSong** item) override;
    int GetFlags() override;
    HRESULT GetName(QString& name) override;
    const QString& GetId() override;
    HRESULT GetFiles(QList<CFileMetadata>& files) override;
    HRESULT Rename(const QString& name) override;
    HRESULT Delete() override;
    HRESULT AddFiles(CPlayerClientAddingFilesCollection* files, CPlayerClientOperationObserver* observer,
                     IPlayerClientOperation** operation) override;
    HRESULT AddItem(IPlayerClientSong* song) override;
    HRESULT RemoveItem(IPlayerClientSong* song) override;
    HRESULT Show() override;
    HRESULT Play() override;
    HRESULT IsEqualTo(IPlayerClientPlaylist* other) override;
    HRESULT IsInSync() override;
    HRESULT SetInSync(bool inSync) override;
    HRESULT Load() override;
    HRESULT GetRawInterface(IWMPPlaylist** playlist) override;
    HRESULT GetMediaItem(IWMPMedia** media) override;

public slots:
    void OnLibraryChanged(int kind, void* data);

protected:
    void DoReleasePlayerObject() override;

private:
    HRESULT InitializeWithRawInterface(CPlayerClientWMP* owner, IWMPPlaylist* playlist, int allowAuto);
    HRESULT InitializeWithKind(CPlayerClientWMP* owner, int kind, const CFileMetadata& filter);
    HRESULT ConnectOwner(const char* method);
    HRESULT UpdateCollection();
    QString SortAttribute() const;
    // Logs "not supported" and answers false when the flag is missing.
    bool Supports(int flag, const char* method) const;
    CPlayerClientWMPHelper* Helper() const;
    HRESULT CheckAlive(const char* method) const;
    HRESULT SongMedia(IPlayerClientSong* song, const char* method, IWMPMedia** media);
    // AddItem and RemoveItem: the song's media item through edit (named editName in the log).
    HRESULT EditItem(IPlayerClientSong* song, int flag, const char* method, HRESULT (IWMPPlaylist::*edit)(IWMPMedia*),
                     const char* editName);
    HRESULT EnsurePlaylistSyncUuid(QString& text);

    QPointer<CPlayerClientWMP> m_wmpOwner;
    QString m_name;
    bool m_hasName = false;
    int m_kind = 0;
    bool m_isAuto = false;
    CFileMetadata m_filter;
    QString m_id;
    IWMPPlaylist* m_playlist = nullptr;
    int m_flags = 0;
};
