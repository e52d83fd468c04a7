#pragma once
// The application object of tests: a stand-in for the main window's services with a real timer list and
// mode manager, a popup-stack slot and null services elsewhere (each settable). Every call is recorded by
// name. It stores itself in the application-object global while it lives.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QVariantList>

#include "core/appmodemanager.h"
#include "core/coreapplicationobject.h"
#include "core/songtypes.h"
#include "core/timerlist.h"

namespace SvTest {

class CTestApplicationObject : public QObject, public CCoreApplicationObject
{
    Q_OBJECT
public:
    explicit CTestApplicationObject(QObject* parent = nullptr);
    ~CTestApplicationObject() override;

    // --- The 43 operations, in the interface's order ---
    bool AddAppWillQuitObserver(QObject* receiver, const char* slot) override;
    SonveroAccount::CNetwork* GetAccount() override;
    Blip::CNetworkCollection* GetBlipNetworks() override;
    bool NotifyIfNoInternetConnection() override;
    bool OpenUrl(const QUrl& url, bool checkConnection) override;
    bool IsAppAlwaysOnTop() const override;
    void SetAppAlwaysOnTop(bool on) override;
    bool AddAlwaysOnTopChangeObserver(QObject* receiver, const char* slot) override;
    bool AddApplicationActivatedObserver(QObject* receiver, const char* slot) override;
    bool AddWinDeviceRemovedObserver(QObject* receiver, const char* slot) override;
    bool IsAppInFullscreen() const override;
    void SetAppInFullscreen(bool on) override;
    bool AddAppInFullscreenChangedObserver(QObject* receiver, const char* slot) override;
    Drelk::CNetworkAccessManager* GetNetworkAccessManager() override;
    void RegisterTimer(QTimer* timer) override;
    int GetTimerDelay() const override;
    void DelayTimers(int ms) override;
    bool IsBusy() const override;
    LyricsManager* GetLyricsManager() override;
    AlbumArt::CManager* GetAlbumArtManager() override;
    Genres::CManager* GetGenresManager() override;
    bool IsAppQuitsOnClose() const override;
    void SetAppQuitsOnClose(bool on) override;
    bool AddAppQuitsOnCloseChangedObserver(QObject* receiver, const char* slot) override;
    CPopupStack* GetPopupStack() override;
    SongLyrics GetCurrentSongLyrics() override;
    SvPlayer* GetSvPlayer() override;
    void GoToNowPlaying() override;
    void GoToMyMusic() override;
    void GoToSettings() override;
    void GoToSyncDevice(int page) override;
    void PushMainTab(QWidget* page) override;
    QList<QAction*> GetMenuActions() override;
    CAppModeManagerBase* GetAppModeManager() override;
    SyncDevice::CService* GetSyncDeviceService() override;
    CServiceTestInternetConnection* GetInternetConnectionService() override;
    bool IsAppActiveAndVisible() const override;
    void SwitchToPlayer(int id) override;
    QString GetMusicFolder() override;
    QString GetPlayerKindName(int kind) override;
    void ConnectTitleButtons(QObject* titleFrame) override;
    CoreText::CManager* GetTextManager() override;
    void SendFeedback() override;

    // --- Recorded calls ---
    // Operation names in call order ("OpenUrl", "RegisterTimer", ...).
    QStringList Calls() const { return m_callNames; }
    int CallCount(const QString& name) const { return m_callNames.count(name); }
    // Arguments of the latest call of an operation (pointers as quintptr); empty when never called.
    QVariantList LastArguments(const QString& name) const;
    void ClearCalls();

    // --- The real parts ---
    CTimerList* TimerList() { return &m_timerList; }
    CAppModeManager* ModeManager() { return &m_modeManager; }

    // --- What tests put in place (all null or default until set) ---
    void SetPopupStack(CPopupStack* stack) { m_popupStack = stack; }
    void SetAccount(SonveroAccount::CNetwork* account) { m_account = account; }
    void SetBlipNetworks(Blip::CNetworkCollection* networks) { m_blipNetworks = networks; }
    void SetNetworkAccessManager(Drelk::CNetworkAccessManager* manager) { m_networkAccessManager = manager; }
    void SetLyricsManager(LyricsManager* manager) { m_lyricsManager = manager; }
    void SetAlbumArtManager(AlbumArt::CManager* manager) { m_albumArtManager = manager; }
    void SetGenresManager(Genres::CManager* manager) { m_genresManager = manager; }
    void SetSvPlayer(SvPlayer* player) { m_svPlayer = player; }
    void SetSyncDeviceService(SyncDevice::CService* service) { m_syncDeviceService = service; }
    void SetInternetConnectionService(CServiceTestInternetConnection* service) { m_internetService = service; }
    void SetTextManager(CoreText::CManager* manager) { m_textManager = manager; }
    void SetCurrentSongLyrics(const SongLyrics& lyrics) { m_currentSongLyrics = lyrics; }
    void SetMenuActions(const QList<QAction*>& actions) { m_menuActions = actions; }
    // What NotifyIfNoInternetConnection answers (false: connected).
    void SetNoInternetConnection(bool none) { m_noInternet = none; }
    // What OpenUrl answers when it gets that far (true by default); no browser is ever opened.
    void SetOpenUrlResult(bool result) { m_openUrlResult = result; }
    void SetActiveAndVisible(bool on) { m_activeAndVisible = on; }

    // --- What the operations left behind ---
    QList<QUrl> OpenedUrls() const { return m_openedUrls; }
    // Pages handed to PushMainTab that are still alive (deleted with this object).
    QList<QWidget*> PushedTabs() const;
    int LastPlayerId() const { return m_lastPlayerId; }
    int LastSyncDevicePage() const { return m_lastSyncDevicePage; }
    QObject* LastTitleFrame() const { return m_lastTitleFrame; }

    // --- Events a test makes happen ---
    // As the main window quits: quitting flag, mode 1, WhenAppWillQuit().
    void SimulateQuit();
    void SimulateApplicationActivated() { emit WhenApplicationActivated(); }
    void SimulateWinDeviceRemoved() { emit WhenWinDeviceRemoved(); }

signals:
    void WhenAlwaysOnTopChanged(bool on);
    void WhenApplicationActivated();
    void WhenWinDeviceRemoved();
    void WhenAppInFullscreenChanged();
    void WhenAppQuitsOnCloseChanged();
    void WhenAppWillQuit();

private:
    void Record(const char* name, const QVariantList& args = QVariantList()) const;
    bool AddObserver(const char* operation, const char* signal, QObject* receiver, const char* slot,
                     Qt::ConnectionType type);

    mutable QStringList m_callNames;
    mutable QList<QVariantList> m_callArgs;

    CTimerList m_timerList;
    CAppModeManager m_modeManager;

    CPopupStack* m_popupStack = nullptr;
    SonveroAccount::CNetwork* m_account = nullptr;
    Blip::CNetworkCollection* m_blipNetworks = nullptr;
    Drelk::CNetworkAccessManager* m_networkAccessManager = nullptr;
    LyricsManager* m_lyricsManager = nullptr;
    AlbumArt::CManager* m_albumArtManager = nullptr;
    Genres::CManager* m_genresManager = nullptr;
    SvPlayer* m_svPlayer = nullptr;
    SyncDevice::CService* m_syncDeviceService = nullptr;
    CServiceTestInternetConnection* m_internetService = nullptr;
    CoreText::CManager* m_textManager = nullptr;
    SongLyrics m_currentSongLyrics;
    QList<QAction*> m_menuActions;

    bool m_alwaysOnTop = false;
    bool m_fullscreen = false;
    bool m_quitsOnClose = true;
    bool m_noInternet = false;
    bool m_openUrlResult = true;
    bool m_activeAndVisible = true;

    QList<QUrl> m_openedUrls;
    QList<QPointer<QWidget>> m_pushedTabs;
    int m_lastPlayerId = -1;
    int m_lastSyncDevicePage = -1;
    QPointer<QObject> m_lastTitleFrame;
};

} // namespace SvTest
