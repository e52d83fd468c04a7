#pragma once
// The names of the Windows Media Player library's artists or albums (all of them, the artists of one
// album or the albums of one artist), sorted, re-read when the player reports that such names changed.
#include <QPointer>
#include <QString>

#include "platform/wmp/wmpinterfaces.h"
#include "players/playerclientinterfaces.h"
#include "players/playerclientobjectbase.h"
#include "players/wmp/playerclientwmp.h"

class CIPlayerClientWMPCollectionStringImpl : public CPlayerClientNotifyImplT<IPlayerClientCollectionString>
{
    Q_OBJECT
public:
    CIPlayerClientWMPCollectionStringImpl();
    ~CIPlayerClientWMPCollectionStringImpl() override;

    // kind: PlayerClient::CollectionArtists or CollectionAlbums. The filter form gives the artists of the
    // album filter, or the albums of the artist filter.
    static HRESULT CreateInstanceWithKind(CPlayerClientWMP* owner, int kind, IPlayerClientCollectionString** out);
    static HRESULT CreateInstanceWithKindAndFilter(CPlayerClientWMP* owner, int kind, const QString& filter,
                                                   IPlayerClientCollectionString** out);

    HRESULT QueryInterface(const IID& iid, void** object) override;

    int GetKind() override;
    // Reads the names again; WhenEvent(0) after a successful read.
    HRESULT Refresh() override;
    int GetItemCount() override;
    HRESULT GetItem(int index, QString& item) override;

public slots:
    void OnLibraryChanged(int kind, void* data);

protected:
    void DoReleasePlayerObject() override;

private:
    static HRESULT Create(CPlayerClientWMP* owner, int kind, bool hasFilter, const QString& filter, const char* factory,
                          IPlayerClientCollectionString** out);
    HRESULT InitializeWithKind(CPlayerClientWMP* owner, int kind, bool hasFilter, const QString& filter);
    HRESULT UpdateCollection();

    QPointer<CPlayerClientWMP> m_wmpOwner;
    int m_kind = 0;
    bool m_hasFilter = false;
    QString m_filter;
    IWMPStringCollection* m_strings = nullptr;
};
