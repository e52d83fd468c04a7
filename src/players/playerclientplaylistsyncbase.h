#pragma once
// What the device-sync lists of both clients share: the stock answers of a list that is no real
// playlist (kind 5, no name, no renaming or playing) and the coalesced update event.
#include <QString>

#include "players/playerclientobjectbase.h"

class CPlayerClientSyncListBase : public CPlayerClientObjectBase
{
    Q_OBJECT
public:
    // The one empty id text every sync list hands out.
    static const QString& EmptyId();

public slots:
    // A change of the selection: as Invalidate.
    void OnModified();
    // The update timer fired: WhenEvent(0) unless shut down.
    void OnTimerUpdate();

protected:
    using CPlayerClientObjectBase::CPlayerClientObjectBase;

    // Drops what the list keeps of the selection and starts its update timer; nothing after shutdown.
    virtual void DoInvalidate() {}
};

// The stock operations of a sync list over its interface (IPlayerClientPlaylistSync or a face of it).
template <class TInterface>
class CPlayerClientPlaylistSyncImplT : public CPlayerClientNotifyImplT<TInterface, CPlayerClientSyncListBase>
{
public:
    int GetKind() override { return PlayerClient::CollectionSyncList; }
    HRESULT Refresh() override { return S_OK; }
    int GetFlags() override { return 0; }
    HRESULT GetName(QString& name) override
    {
        name.clear();
        return S_OK;
    }
    const QString& GetId() override { return CPlayerClientSyncListBase::EmptyId(); }
    HRESULT Rename(const QString&) override { return E_NOTIMPL; }
    HRESULT Delete() override { return E_NOTIMPL; }
    HRESULT AddFiles(CPlayerClientAddingFilesCollection*, CPlayerClientOperationObserver*,
                     IPlayerClientOperation** operation) override
    {
        if (operation && *operation) {
            (*operation)->Release();
            *operation = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT Show() override { return E_NOTIMPL; }
    HRESULT Play() override { return E_NOTIMPL; }
    // 0 only for this same object.
    HRESULT IsEqualTo(IPlayerClientPlaylist* other) override
    {
        return other == static_cast<IPlayerClientPlaylist*>(this) ? S_OK : S_FALSE;
    }
    HRESULT IsInSync() override { return S_FALSE; }
    HRESULT SetInSync(bool inSync) override { return inSync ? E_NOTIMPL : S_OK; }

protected:
    using CPlayerClientNotifyImplT<TInterface, CPlayerClientSyncListBase>::CPlayerClientNotifyImplT;
};
