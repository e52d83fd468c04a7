#include "support/testapplicationobject.h"

#include <QTimer>
#include <QWidget>

#include "core/corefiles.h"
#include "core/log.h"

namespace SvTest {

static QVariant PointerArg(const void* pointer)
{
    return QVariant::fromValue(reinterpret_cast<quintptr>(pointer));
}

CTestApplicationObject::CTestApplicationObject(QObject* parent)
    : QObject(parent)
    , m_timerList(this)
    , m_modeManager(this)
{
    *GetCoreApplicationObjectSlot() = this;
}

CTestApplicationObject::~CTestApplicationObject()
{
    CCoreApplicationObject** slot = GetCoreApplicationObjectSlot();
    if (*slot == this)
        *slot = nullptr;
    for (const QPointer<QWidget>& page : qAsConst(m_pushedTabs))
        delete page.data();
}

void CTestApplicationObject::Record(const char* name, const QVariantList& args) const
{
    m_callNames.append(QString::fromLatin1(name));
    m_callArgs.append(args);
}

QVariantList CTestApplicationObject::LastArguments(const QString& name) const
{
    const int index = m_callNames.lastIndexOf(name);
    return index < 0 ? QVariantList() : m_callArgs.at(index);
}

void CTestApplicationObject::ClearCalls()
{
    m_callNames.clear();
    m_callArgs.clear();
}

bool CTestApplicationObject::AddObserver(const char* operation, const char* signal, QObject* receiver,
                                         const char* slot, Qt::ConnectionType type)
{
    Record(operation, {PointerArg(receiver), slot ? QString::fromLatin1(slot) : QString()});
    if (!receiver || !slot) {
        WriteLog("CTestApplicationObject::%s: invalid observer", operation);
        return false;
    }
    return static_cast<bool>(QObject::connect(this, signal, receiver, slot, type));
}

bool CTestApplicationObject::AddAppWillQuitObserver(QObject* receiver, const char* slot)
{
    return AddObserver("AddAppWillQuitObserver", SIGNAL(WhenAppWillQuit()), receiver, slot, Qt::DirectConnection);
}

SonveroAccount::CNetwork* CTestApplicationObject::GetAccount()
{
    Record("GetAccount");
    return m_account;
}

Blip::CNetworkCollection* CTestApplicationObject::GetBlipNetworks()
{
    Record("GetBlipNetworks");
    return m_blipNetworks;
}

bool CTestApplicationObject::NotifyIfNoInternetConnection()
{
    Record("NotifyIfNoInternetConnection");
    return m_noInternet;
}

bool CTestApplicationObject::OpenUrl(const QUrl& url, bool checkConnection)
{
    Record("OpenUrl", {url, checkConnection});
    if (checkConnection && m_noInternet)
        return false;
    m_openedUrls.append(url);
    return m_openUrlResult;
}

bool CTestApplicationObject::IsAppAlwaysOnTop() const
{
    Record("IsAppAlwaysOnTop");
    return m_alwaysOnTop;
}

void CTestApplicationObject::SetAppAlwaysOnTop(bool on)
{
    Record("SetAppAlwaysOnTop", {on});
    if (m_alwaysOnTop == on)
        return;
    m_alwaysOnTop = on;
    emit WhenAlwaysOnTopChanged(on);
}

bool CTestApplicationObject::AddAlwaysOnTopChangeObserver(QObject* receiver, const char* slot)
{
    return AddObserver("AddAlwaysOnTopChangeObserver", SIGNAL(WhenAlwaysOnTopChanged(bool)), receiver, slot,
                       Qt::DirectConnection);
}

bool CTestApplicationObject::AddApplicationActivatedObserver(QObject* receiver, const char* slot)
{
    return AddObserver("AddApplicationActivatedObserver", SIGNAL(WhenApplicationActivated()), receiver, slot,
                       Qt::QueuedConnection);
}

bool CTestApplicationObject::AddWinDeviceRemovedObserver(QObject* receiver, const char* slot)
{
    return AddObserver("AddWinDeviceRemovedObserver", SIGNAL(WhenWinDeviceRemoved()), receiver, slot,
                       Qt::DirectConnection);
}

bool CTestApplicationObject::IsAppInFullscreen() const
{
    Record("IsAppInFullscreen");
    return m_fullscreen;
}

void CTestApplicationObject::SetAppInFullscreen(bool on)
{
    Record("SetAppInFullscreen", {on});
    if (m_fullscreen == on)
        return;
    m_fullscreen = on;
    emit WhenAppInFullscreenChanged();
}

bool CTestApplicationObject::AddAppInFullscreenChangedObserver(QObject* receiver, const char* slot)
{
    return AddObserver("AddAppInFullscreenChangedObserver", SIGNAL(WhenAppInFullscreenChanged()), receiver, slot,
                       Qt::DirectConnection);
}

Drelk::CNetworkAccessManager* CTestApplicationObject::GetNetworkAccessManager()
{
    Record("GetNetworkAccessManager");
    return m_quitting ? nullptr : m_networkAccessManager;
}

void CTestApplicationObject::RegisterTimer(QTimer* timer)
{
    Record("RegisterTimer", {PointerArg(timer)});
    if (!m_quitting)
        m_timerList.AddTimer(timer);
}

int CTestApplicationObject::GetTimerDelay() const
{
    Record("GetTimerDelay");
    return m_timerList.m_tickDelay;
}

void CTestApplicationObject::DelayTimers(int ms)
{
    Record("DelayTimers", {ms});
    m_timerList.DelayTimers(ms, true);
}

bool CTestApplicationObject::IsBusy() const
{
    Record("IsBusy");
    return m_quitting || m_timerList.IsAnyTimerActive();
}

LyricsManager* CTestApplicationObject::GetLyricsManager()
{
    Record("GetLyricsManager");
    return m_lyricsManager;
}

AlbumArt::CManager* CTestApplicationObject::GetAlbumArtManager()
{
    Record("GetAlbumArtManager");
    return m_albumArtManager;
}

Genres::CManager* CTestApplicationObject::GetGenresManager()
{
    Record("GetGenresManager");
    return m_genresManager;
}

bool CTestApplicationObject::IsAppQuitsOnClose() const
{
    Record("IsAppQuitsOnClose");
    return m_quitsOnClose;
}

void CTestApplicationObject::SetAppQuitsOnClose(bool on)
{
    Record("SetAppQuitsOnClose", {on});
    if (m_quitsOnClose == on)
        return;
    m_quitsOnClose = on;
    emit WhenAppQuitsOnCloseChanged();
}

bool CTestApplicationObject::AddAppQuitsOnCloseChangedObserver(QObject* receiver, const char* slot)
{
    return AddObserver("AddAppQuitsOnCloseChangedObserver", SIGNAL(WhenAppQuitsOnCloseChanged()), receiver, slot,
                       Qt::DirectConnection);
}

CPopupStack* CTestApplicationObject::GetPopupStack()
{
    Record("GetPopupStack");
    return m_popupStack;
}

SongLyrics CTestApplicationObject::GetCurrentSongLyrics()
{
    Record("GetCurrentSongLyrics");
    return m_currentSongLyrics;
}

SvPlayer* CTestApplicationObject::GetSvPlayer()
{
    Record("GetSvPlayer");
    return m_svPlayer;
}

void CTestApplicationObject::GoToNowPlaying()
{
    Record("GoToNowPlaying");
}

void CTestApplicationObject::GoToMyMusic()
{
    Record("GoToMyMusic");
}

void CTestApplicationObject::GoToSettings()
{
    Record("GoToSettings");
}

void CTestApplicationObject::GoToSyncDevice(int page)
{
    Record("GoToSyncDevice", {page});
    m_lastSyncDevicePage = page;
}

void CTestApplicationObject::PushMainTab(QWidget* page)
{
    Record("PushMainTab", {PointerArg(page)});
    if (page)
        m_pushedTabs.append(page);
}

QList<QWidget*> CTestApplicationObject::PushedTabs() const
{
    QList<QWidget*> pages;
    for (const QPointer<QWidget>& page : m_pushedTabs) {
        if (page)
            pages.append(page.data());
    }
    return pages;
}

QList<QAction*> CTestApplicationObject::GetMenuActions()
{
    Record("GetMenuActions");
    return m_menuActions;
}

CAppModeManagerBase* CTestApplicationObject::GetAppModeManager()
{
    Record("GetAppModeManager");
    return &m_modeManager;
}

SyncDevice::CService* CTestApplicationObject::GetSyncDeviceService()
{
    Record("GetSyncDeviceService");
    return m_syncDeviceService;
}

CServiceTestInternetConnection* CTestApplicationObject::GetInternetConnectionService()
{
    Record("GetInternetConnectionService");
    return m_internetService;
}

bool CTestApplicationObject::IsAppActiveAndVisible() const
{
    Record("IsAppActiveAndVisible");
    return !m_quitting && m_activeAndVisible;
}

void CTestApplicationObject::SwitchToPlayer(int id)
{
    Record("SwitchToPlayer", {id});
    m_lastPlayerId = id;
}

QString CTestApplicationObject::GetMusicFolder()
{
    Record("GetMusicFolder");
    return GetDataDirectory() + QStringLiteral("/music");
}

QString CTestApplicationObject::GetPlayerKindName(int kind)
{
    Record("GetPlayerKindName", {kind});
    static const char* const names[] = {"local", "wmp", "itunes"};
    const char* name = kind >= 1 && kind <= 3 ? names[kind - 1] : "unknown";
    return GetDataDirectory() + QStringLiteral("/music/") + QLatin1String(name);
}

void CTestApplicationObject::ConnectTitleButtons(QObject* titleFrame)
{
    Record("ConnectTitleButtons", {PointerArg(titleFrame)});
    if (titleFrame)
        m_lastTitleFrame = titleFrame;
}

CoreText::CManager* CTestApplicationObject::GetTextManager()
{
    Record("GetTextManager");
    return m_textManager;
}

void CTestApplicationObject::SendFeedback()
{
    Record("SendFeedback");
}

void CTestApplicationObject::SimulateQuit()
{
    m_quitting = true;
    m_modeManager.SetMode(CAppModeManagerBase::ModeQuitting);
    emit WhenAppWillQuit();
}

} // namespace SvTest
