#pragma once
// The application's services as every component reaches them: the main window implements this
// interface and main hands it out through GetCoreApplicationObject().
#include <QList>
#include <QString>
#include <QUrl>

#include "core/songtypes.h"

class QAction;
class QObject;
class QTimer;
class QWidget;

class CAppModeManagerBase;
class CPopupStack;
class CServiceTestInternetConnection;
class LyricsManager;
class SvPlayer;
namespace AlbumArt { class CManager; }
namespace Blip { class CNetworkCollection; }
namespace CoreText { class CManager; }
namespace Drelk { class CNetworkAccessManager; }
namespace Genres { class CManager; }
namespace SonveroAccount { class CNetwork; }
namespace SyncDevice { class CService; }

// Observer operations take a receiver and a slot text (SLOT(...)); they return false and log when
// either is null.
class CCoreApplicationObject
{
public:
    virtual ~CCoreApplicationObject() = default;

    virtual bool AddAppWillQuitObserver(QObject* receiver, const char* slot) = 0;
    virtual SonveroAccount::CNetwork* GetAccount() = 0;
    virtual Blip::CNetworkCollection* GetBlipNetworks() = 0;
    // True when there is no connection (a note was shown).
    virtual bool NotifyIfNoInternetConnection() = 0;
    virtual bool OpenUrl(const QUrl& url, bool checkConnection) = 0;
    virtual bool IsAppAlwaysOnTop() const = 0;
    virtual void SetAppAlwaysOnTop(bool on) = 0;
    virtual bool AddAlwaysOnTopChangeObserver(QObject* receiver, const char* slot) = 0;
    // Queued connection.
    virtual bool AddApplicationActivatedObserver(QObject* receiver, const char* slot) = 0;
    virtual bool AddWinDeviceRemovedObserver(QObject* receiver, const char* slot) = 0;
    virtual bool IsAppInFullscreen() const = 0;
    virtual void SetAppInFullscreen(bool on) = 0;
    virtual bool AddAppInFullscreenChangedObserver(QObject* receiver, const char* slot) = 0;
    // Null once quitting.
    virtual Drelk::CNetworkAccessManager* GetNetworkAccessManager() = 0;
    // Background tick timers (single-shot) that DelayTimers postpones and IsBusy watches.
    virtual void RegisterTimer(QTimer* timer) = 0;
    // The delay (ms) that operation and filler ticks respect.
    virtual int GetTimerDelay() const = 0;
    // A one-time postponement of the registered timers.
    virtual void DelayTimers(int ms) = 0;
    virtual bool IsBusy() const = 0;
    virtual LyricsManager* GetLyricsManager() = 0;
    virtual AlbumArt::CManager* GetAlbumArtManager() = 0;
    virtual Genres::CManager* GetGenresManager() = 0;
    virtual bool IsAppQuitsOnClose() const = 0;
    virtual void SetAppQuitsOnClose(bool on) = 0;
    virtual bool AddAppQuitsOnCloseChangedObserver(QObject* receiver, const char* slot) = 0;
    virtual CPopupStack* GetPopupStack() = 0;
    virtual SongLyrics GetCurrentSongLyrics() = 0;
    virtual SvPlayer* GetSvPlayer() = 0;
    virtual void GoToNowPlaying() = 0;
    virtual void GoToMyMusic() = 0;
    virtual void GoToSettings() = 0;
    virtual void GoToSyncDevice(int page) = 0;
    virtual void PushMainTab(QWidget* page) = 0;
    // [Settings, Quit].
    virtual QList<QAction*> GetMenuActions() = 0;
    virtual CAppModeManagerBase* GetAppModeManager() = 0;
    virtual SyncDevice::CService* GetSyncDeviceService() = 0;
    virtual CServiceTestInternetConnection* GetInternetConnectionService() = 0;
    virtual bool IsAppActiveAndVisible() const = 0;
    virtual void SwitchToPlayer(int id) = 0;
    virtual QString GetMusicFolder() = 0;
    // The music folder of one player kind (1 local, 2 wmp, 3 itunes).
    virtual QString GetPlayerKindName(int kind) = 0;
    virtual void ConnectTitleButtons(QObject* titleFrame) = 0;
    virtual CoreText::CManager* GetTextManager() = 0;
    virtual void SendFeedback() = 0;

    // The same list as GetMenuActions, under the name the My Music window uses.
    QList<QAction*> GetMainTabActions() { return GetMenuActions(); }

    // Set when the application starts quitting; read directly.
    bool m_quitting = false;
};

// The application object, null before the main window stores itself and after main clears it.
CCoreApplicationObject* GetCoreApplicationObject();

// The global that holds it: main passes this address to the main window, which stores its
// interface there; main clears it before destroying the window. Tests store theirs the same way.
CCoreApplicationObject** GetCoreApplicationObjectSlot();
