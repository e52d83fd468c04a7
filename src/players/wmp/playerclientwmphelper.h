#pragma once
// The Windows Media Player client's way to the player: hosts the player control in remote mode,
// receives the player's events, hands out the player's automation objects (cached, since the library
// objects ask for them on every item), answers library statistics and keeps the two identifiers under
// which the device-sync selections live in the player's library.
#include <QObject>
#include <QPointer>
#include <QUuid>
#include <QVariantList>

#include "platform/com/combase.h"
#include "platform/wmp/wmpinterfaces.h"
#include "players/iunknownbase.h"
#include "players/playerclienttypes.h"
#include "players/wmp/playerclientwmp.h"

class QTimer;
class CAxWidgetWMP;

class CPlayerClientWMPHelper : public QObject,
                               public WMDM::CIUnknownBase,
                               public IServiceProvider,
                               public IWMPRemoteMediaServices,
                               public IWMPEvents,
                               public _WMPOCXEvents
{
    Q_OBJECT
public:
    // Attribute numbers of GetMediaAttributeIndex.
    enum : int
    {
        AttributeTitle = 1,
        AttributeAuthor = 2,
        AttributeAlbum = 3,
        AttributeTrackNumber = 4,
        AttributeSourceUrl = 5,
        AttributeDuration = 6,
        AttributeYear = 7,
        AttributeGenre = 8,
        AttributeSyncMark = 9,
        AttributeCount = 10,
    };

    CPlayerClientWMPHelper();
    ~CPlayerClientWMPHelper() override;

    HRESULT QueryInterface(const IID& iid, void** object) override;

    void SetOwner(CPlayerClientWMP* owner) { m_owner = owner; }
    CPlayerClientWMP* GetOwner() const { return m_owner; }

    // Creates the control, attaches it to the player and connects the event sink; a result code.
    HRESULT Initialize();
    // Ends the event connection. The connection holds a reference on this object, so the client calls
    // this before it lets the object go; the destructor does it too when it is still connected.
    void Disconnect();
    bool IsConnected() const { return m_cookie != 0; }

    // Each hands out a new reference (what the out-pointer held is released first); a result code.
    HRESULT GetPlayer(IWMPPlayer4** player);
    HRESULT GetMediaCollection(IWMPMediaCollection** collection);
    HRESULT GetMediaCollection2(IWMPMediaCollection2** collection);
    HRESULT GetPlaylistCollection(IWMPPlaylistCollection** collection);
    HRESULT GetSettings(IWMPSettings** settings);
    HRESULT GetControls(IWMPControls** controls);
    // Drops the cached automation objects (the player reconnected).
    void ReleaseCachedInterfaces();

    // The library's atom of attribute 1..9, or -1.
    int GetMediaAttributeIndex(int attribute);
    static QString GetMediaAttributeName(int attribute);

    // flags: PlayerClient::InfoSongCount, PlayerClient::InfoSecondPart; the record's flags tell what was filled.
    HRESULT GetArtistInfo(const QString& artist, int flags, CArtistInfo& info);
    HRESULT GetAlbumInfo(const QString& album, int flags, CAlbumInfo& info);
    HRESULT GetArtistAlbumInfo(const QString& artist, const QString& album, int flags, CAlbumInfo& info);

    QUuid GetSyncUuid() const { return m_syncUuid; }
    QUuid GetPlaylistSyncUuid() const { return m_playlistSyncUuid; }
    // A new random identifier, kept and stored in the settings.
    QUuid NewSyncUuid();
    QUuid NewPlaylistSyncUuid();

    // While above 0 the client does not report play-state and current-item changes.
    int GetSuppressCount() const { return m_suppress; }

    // The 1 s delayed play of a song started within a playlist.
    void StartPlayTimer();
    void StopPlayTimer();
    bool IsPlayTimerActive() const;

    CAxWidgetWMP* GetWidget() const { return m_widget; }

    // IServiceProvider: the object's own QueryInterface.
    HRESULT QueryService(const QUuid& service, const IID& iid, void** object) override;
    // IWMPRemoteMediaServices: "Remote", "Sonvero", nothing else.
    HRESULT GetServiceType(BSTR* type) override;
    HRESULT GetApplicationName(BSTR* name) override;
    HRESULT GetScriptableObject(BSTR* name, IUnknown** object) override;
    HRESULT GetCustomUIMode(BSTR* file) override;

    // IWMPEvents
    void OpenStateChange(qint32 newState) override;
    void PlayStateChange(qint32 newState) override;
    void PositionChange(double oldPosition, double newPosition) override;
    void CurrentItemChange(IUnknown* item) override;
    void CurrentPlaylistChange(qint32 change) override;
    void PlaylistChange(IUnknown* playlist, qint32 change) override;
    void MediaChange(IUnknown* item) override;
    void ModeChange(const QString& mode, bool on) override;
    void Error() override;
    void MediaCollectionChange() override;
    void MediaCollectionMediaAdded(IUnknown* item) override;
    void MediaCollectionMediaRemoved(IUnknown* item) override;
    void MediaCollectionAttributeStringAdded(const QString& attribute, const QString& value) override;
    void MediaCollectionAttributeStringRemoved(const QString& attribute, const QString& value) override;
    void MediaCollectionAttributeStringChanged(const QString& attribute, const QString& oldValue,
                                               const QString& newValue) override;
    void PlaylistCollectionChange() override;
    void PlaylistCollectionPlaylistAdded(const QString& name) override;
    void PlaylistCollectionPlaylistRemoved(const QString& name) override;
    void PlayerDockedStateChange() override;
    void PlayerReconnect() override;
    void SwitchedToPlayerApplication() override;
    void SwitchedToControl() override;

    // _WMPOCXEvents: the handler of the same name.
    HRESULT Invoke(const QString& eventName, const QVariantList& arguments) override;

public slots:
    void OnPlay();

private:
    void AttributeStringEvent(const QString& attribute);
    void LibraryChanged(int kind, void* data);
    void PlayingChanged();

    QPointer<CPlayerClientWMP> m_owner;
    CAxWidgetWMP* m_widget = nullptr;
    IWMPPlayer4* m_player = nullptr;
    IConnectionPoint* m_connectionPoint = nullptr;
    quint32 m_cookie = 0;
    int m_suppress = 0;
    QUuid m_syncUuid;
    QUuid m_playlistSyncUuid;
    IWMPMediaCollection* m_mediaCollection = nullptr;
    IWMPMediaCollection2* m_mediaCollection2 = nullptr;
    IWMPPlaylistCollection* m_playlistCollection = nullptr;
    int m_attributeIndex[AttributeCount];
    IWMPSettings* m_settings = nullptr;
    IWMPControls* m_controls = nullptr;
    QTimer* m_playTimer;
};

typedef WMDM::CIUnknownImpl<CPlayerClientWMPHelper> CPlayerClientWMPHelperObj;
