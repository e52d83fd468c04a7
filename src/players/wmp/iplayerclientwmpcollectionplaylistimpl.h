#pragma once
// The user's playlists in the Windows Media Player library: listing, lookup, creation and removal by
// name, and the reset of every playlist's sync mark. A burst of playlist changes within one pass of the
// event loop gives one re-read and one event.
#include <QPointer>
#include <QString>

#include "platform/wmp/wmpinterfaces.h"
#include "players/playerclientinterfaces.h"
#include "players/playerclientobjectbase.h"
#include "players/wmp/playerclientwmp.h"

class QTimer;
class CPlayerClientWMPHelper;

class CIPlayerClientWMPCollectionPlaylistImpl : public CPlayerClientNotifyImplT<IPlayerClientWmpCollectionPlaylistPriv>
{
    Q_OBJECT
public:
    CIPlayerClientWMPCollectionPlaylistImpl();
    ~CIPlayerClientWMPCollectionPlaylistImpl() override;

    static HRESULT CreateInstance(CPlayerClientWMP* owner, IPlayerClientWmpCollectionPlaylistPriv** out);

    HRESULT QueryInterface(const IID& iid, void** object) override;

    int GetKind() override;
    // Re-reads the playlists on the next pass of the event loop.
    HRESULT Refresh() override;
    int GetItemCount() override;
    HRESULT GetItem(int index, IPlayerClientPlaylist** item) override;
    HRESULT HasItemWithName(const QString& name) override;
    HRESULT CreateItem(const QString& name, IPlayerClientPlaylist** item) override;
    HRESULT RemoveAllItemsWithName(const QString& name) override;
    HRESULT RemoveAllFromSync() override;
    // WhenEvent(0) on the next pass of the event loop.
    HRESULT CollectionChanged() override;

public slots:
    void OnLibraryChanged(int kind, void* data);
    void OnUpdateTimer();

protected:
    void DoReleasePlayerObject() override;

private:
    HRESULT Initialize(CPlayerClientWMP* owner);
    HRESULT UpdateCollection();
    CPlayerClientWMPHelper* Helper() const;
    HRESULT GetPlaylists(const char* method, IWMPPlaylistCollection** playlists);
    // The player's playlists named name and their number.
    HRESULT FindByName(const char* method, const QString& name, IWMPPlaylistCollection** playlists,
                       IWMPPlaylistArray** found, qint32* count);

    QPointer<CPlayerClientWMP> m_wmpOwner;
    IWMPPlaylistArray* m_array = nullptr;
    QTimer* m_updateTimer;
    QTimer* m_eventTimer;
};
