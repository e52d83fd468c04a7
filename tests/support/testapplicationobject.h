#pragma once
// The application object of tests: a real timer list and mode manager, a popup-stack slot, null services
// elsewhere; every call is recorded by name. It stores itself in the application-object global while it lives.
#include <QObject>
#include <QPointer>
#include <QStringList>

#include "core/appmodemanager.h"
#include "core/coreapplicationobject.h"
#include "core/timerlist.h"

namespace SvTest {

#define SV_RECORD() m_calls.append(QLatin1String(__func__))

class CTestApplicationObject : public QObject, public CCoreApplicationObject
{
    Q_OBJECT
public:
    explicit CTestApplicationObject(QObject* parent = nullptr);
    ~CTestApplicationObject() override;

    CTimerList* TimerList() { return &m_timerList; }
    CAppModeManager* ModeManager() { return &m_modeManager; }
    void SetPopupStack(CPopupStack* stack) { m_popupStack = stack; }
    // Operation names in call order ("RegisterTimer", "OpenUrl", ...).
    QStringList Calls() const { return m_calls; }

    // What the code under test uses.
    void RegisterTimer(QTimer* timer) override
    {
        SV_RECORD();
        if (!m_quitting)
            m_timerList.AddTimer(timer);
    }
    int GetTimerDelay() const override { SV_RECORD(); return m_timerList.m_tickDelay; }
    void DelayTimers(int ms) override { SV_RECORD(); m_timerList.DelayTimers(ms, true); }
    bool IsBusy() const override { SV_RECORD(); return m_quitting || m_timerList.IsAnyTimerActive(); }
    CPopupStack* GetPopupStack() override { SV_RECORD(); return m_popupStack; }
    CAppModeManagerBase* GetAppModeManager() override { SV_RECORD(); return &m_modeManager; }

    // The rest: observers connect, flags are kept, services are null, navigation does nothing.
    bool AddAppWillQuitObserver(QObject* r, const char* s) override { SV_RECORD(); return Observe(SIGNAL(WhenAppWillQuit()), r, s); }
    bool AddAlwaysOnTopChangeObserver(QObject* r, const char* s) override
    {
        SV_RECORD();
        return Observe(SIGNAL(WhenAlwaysOnTopChanged(bool)), r, s);
    }
    bool AddApplicationActivatedObserver(QObject* r, const char* s) override
    {
        SV_RECORD();
        return Observe(SIGNAL(WhenApplicationActivated()), r, s, Qt::QueuedConnection);
    }
    bool AddWinDeviceRemovedObserver(QObject* r, const char* s) override
    {
        SV_RECORD();
        return Observe(SIGNAL(WhenWinDeviceRemoved()), r, s);
    }
    bool AddAppInFullscreenChangedObserver(QObject* r, const char* s) override
    {
        SV_RECORD();
        return Observe(SIGNAL(WhenAppInFullscreenChanged()), r, s);
    }
    bool AddAppQuitsOnCloseChangedObserver(QObject* r, const char* s) override
    {
        SV_RECORD();
        return Observe(SIGNAL(WhenAppQuitsOnCloseChanged()), r, s);
    }
    bool IsAppAlwaysOnTop() const override { SV_RECORD(); return m_alwaysOnTop; }
    void SetAppAlwaysOnTop(bool on) override;
    bool IsAppInFullscreen() const override { SV_RECORD(); return m_fullscreen; }
    void SetAppInFullscreen(bool on) override;
    bool IsAppQuitsOnClose() const override { SV_RECORD(); return m_quitsOnClose; }
    void SetAppQuitsOnClose(bool on) override;
    bool NotifyIfNoInternetConnection() override { SV_RECORD(); return false; }
    bool OpenUrl(const QUrl&, bool) override { SV_RECORD(); return true; }  // no browser is ever opened
    bool IsAppActiveAndVisible() const override { SV_RECORD(); return !m_quitting; }
    QString GetMusicFolder() override;
    QString GetPlayerKindName(int kind) override;
    void PushMainTab(QWidget* page) override;
    SongLyrics GetCurrentSongLyrics() override { SV_RECORD(); return SongLyrics(); }
    QList<QAction*> GetMenuActions() override { SV_RECORD(); return {}; }
    SonveroAccount::CNetwork* GetAccount() override { SV_RECORD(); return nullptr; }
    Blip::CNetworkCollection* GetBlipNetworks() override { SV_RECORD(); return nullptr; }
    Drelk::CNetworkAccessManager* GetNetworkAccessManager() override { SV_RECORD(); return nullptr; }
    LyricsManager* GetLyricsManager() override { SV_RECORD(); return nullptr; }
    AlbumArt::CManager* GetAlbumArtManager() override { SV_RECORD(); return nullptr; }
    Genres::CManager* GetGenresManager() override { SV_RECORD(); return nullptr; }
    SvPlayer* GetSvPlayer() override { SV_RECORD(); return nullptr; }
    SyncDevice::CService* GetSyncDeviceService() override { SV_RECORD(); return nullptr; }
    CServiceTestInternetConnection* GetInternetConnectionService() override { SV_RECORD(); return nullptr; }
    CoreText::CManager* GetTextManager() override { SV_RECORD(); return nullptr; }
    void GoToNowPlaying() override { SV_RECORD(); }
    void GoToMyMusic() override { SV_RECORD(); }
    void GoToSettings() override { SV_RECORD(); }
    void GoToSyncDevice(int) override { SV_RECORD(); }
    void SwitchToPlayer(int) override { SV_RECORD(); }
    void ConnectTitleButtons(QObject*) override { SV_RECORD(); }
    void SendFeedback() override { SV_RECORD(); }

signals:
    void WhenAlwaysOnTopChanged(bool on);
    void WhenApplicationActivated();
    void WhenWinDeviceRemoved();
    void WhenAppInFullscreenChanged();
    void WhenAppQuitsOnCloseChanged();
    void WhenAppWillQuit();

private:
    bool Observe(const char* signal, QObject* receiver, const char* slot, Qt::ConnectionType type = Qt::DirectConnection);

    CTimerList m_timerList;
    CAppModeManager m_modeManager;
    CPopupStack* m_popupStack = nullptr;
    QList<QPointer<QWidget>> m_pushedTabs;  // deleted with this object, as the main window would
    bool m_alwaysOnTop = false;
    bool m_fullscreen = false;
    bool m_quitsOnClose = true;
    mutable QStringList m_calls;
};

} // namespace SvTest
