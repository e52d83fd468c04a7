#pragma once
// The simulated media player: its library, a play engine on a replaceable clock, its settings, the
// application's running state and the events it sends to the sinks of attached controls. Tests drive it
// directly (library set-up, clock, faults, call counters); the program reaches it only through the
// automation objects of simobjects.h.
#include <QHash>
#include <QObject>
#include <QRandomGenerator>
#include <QStringList>
#include <QVector>

#include "platform/wmp/simclock.h"
#include "platform/wmp/simlibrary.h"
#include "platform/wmp/wmpinterfaces.h"

class QTimer;

namespace Platform {
namespace Wmp {

class CSimPlayer : public QObject, private CSimLibrary::CObserver
{
    Q_OBJECT
public:
    // A player of its own (the control's local mode); the application's player is Instance().
    explicit CSimPlayer(QObject* parent = nullptr);
    ~CSimPlayer() override;

    // The player application that controls attach to in remote mode (made on first use).
    static CSimPlayer* Instance();

    // Back to the state of a fresh start: empty library, nothing current, default settings, not running,
    // wall clock, no faults, counters and event log cleared. Advised sinks stay.
    void Reset();

    CSimLibrary& Library() { return m_library; }
    CSimClock& Clock() { return m_clock; }

    // ---- library set-up ----
    // An audio item with the given values (attribute names as the player spells them).
    quint32 AddMedia(const QHash<QString, QString>& values);
    // The item of a file: tags read with TagLib (or the override), an existing item when the path is known.
    // 0x80070002 for a missing file.
    HRESULT AddFile(const QString& path, quint32* id = nullptr);
    // Every audio file below folder, read with TagLib; one MediaCollectionChange for the whole import.
    // Returns the number of items added.
    int ImportFolder(const QString& folder);
    // The program's library: imports MusicFolder() the first time it is called; later calls do nothing.
    void ImportMusicFolderOnce();
    // The setting "platform/music_folder", else the user's music location.
    static QString MusicFolder();
    quint32 AddPlaylist(const QString& name, const QVector<quint32>& items, bool isAuto = false);
    // Reads and writes values without events or read-only checks.
    QString RawAttribute(quint32 id, const QString& name) const;
    bool SetRawAttribute(quint32 id, const QString& name, const QString& value);
    // What the player reads for a file instead of its tags (a player that reads tags its own way).
    void SetTagOverride(const QString& path, const QHash<QString, QString>& values);
    bool ReadFileValues(const QString& path, QHash<QString, QString>& values) const;

    // ---- application ----
    bool IsRunning() const { return m_running; }
    // Sends PlayerDockedStateChange when the state changes; stopping also stops playback.
    void SetRunning(bool running);
    // Running after the launch delay (0: on the next event-loop pass).
    void Launch();
    void SetLaunchDelay(int ms) { m_launchDelay = ms; }
    void Quit();
    int LaunchCount() const { return m_launchCount; }
    int ForegroundCount() const { return m_foregroundCount; }
    void SwitchToPlayerApplication();
    void SwitchToControl();
    void Reconnect();
    // Puts an item at the head of the error queue and sends Error.
    void RaiseError(HRESULT code, const QString& description = QString());
    QVector<QPair<HRESULT, QString>> Errors() const { return m_errors; }
    void ClearErrors() { m_errors.clear(); }

    // ---- transport ----
    void Play();
    void Pause();
    void Stop();
    bool Next();
    bool Previous();
    // Plays an item: within the current playlist when it is there, else as a one-item list.
    HRESULT PlayMedia(quint32 id);
    HRESULT SetCurrentItem(quint32 id);
    HRESULT SetCurrentPlaylist(const CPlaylistRef& playlist);
    // Never null: an empty list when nothing was made current.
    CPlaylistRef CurrentPlaylist();
    CMediaRef CurrentMedia();
    qint32 PlayState();
    qint64 PositionMs();
    void SetPositionMs(qint64 ms);
    // Moves a manual clock forward and plays on (track ends, next items).
    void Advance(qint64 ms);
    bool IsAvailable(const QString& name);

    bool AutoStart() const { return m_autoStart; }
    void SetAutoStart(bool on) { m_autoStart = on; }
    int Volume() const { return m_volume; }
    void SetVolume(int volume);
    bool Mute() const { return m_mute; }
    void SetMute(bool mute) { m_mute = mute; }
    // "shuffle" and "loop"; false for another name.
    bool Mode(const QString& mode, bool* on) const;
    bool SetMode(const QString& mode, bool on);

    // ---- events ----
    // Events go out in order on the next event-loop pass; synchronous mode sends each at once.
    void SetSynchronousEvents(bool on) { m_synchronous = on; }
    void FlushEvents();
    // Names of the events sent so far, in order (only events that had a sink; the latest 5,000 to 10,000).
    QStringList DeliveredEvents() const { return m_delivered; }
    void ClearDeliveredEvents() { m_delivered.clear(); }
    int SinkCount() const { return m_sinks.size(); }

    // ---- faults and counters ("Interface::method", as IWMPMediaCollection2::createQuery) ----
    // The next times calls of method fail with code (times -1: until cleared).
    void FailCall(const QString& method, HRESULT code, int times = 1);
    void ClearFaults();
    // Every call is rejected with 0x80010001 while busy.
    void SetBusy(bool busy) { m_busy = busy; }
    bool IsBusy() const { return m_busy; }
    // A getter that succeeds but hands out nothing.
    void SetReturnNull(const QString& method, bool on);
    // Interfaces and connection points that QueryInterface or FindConnectionPoint refuse.
    void SetInterfaceAvailable(const QString& name, bool available);
    bool IsInterfaceAvailable(const QString& name) const { return !m_unavailable.contains(name); }
    int CallCount(const QString& method) const { return m_calls.value(method); }
    void ResetCallCounts() { m_calls.clear(); }

    // ---- used by the automation objects ----
    // Counts the call and answers the busy state and injected faults: 0 to go on, else the code to return.
    HRESULT Enter(const char* method);
    bool ReturnsNull(const char* method) const;
    // Keeps sink (already queried for kind, one reference taken over) until unregistered; the cookie.
    quint32 RegisterSink(const void* owner, const IID& kind, IUnknown* sink);
    bool UnregisterSink(const void* owner, quint32 cookie);
    void UnregisterSinks(const void* owner);
    // Creates the objects that travel in events and in answers.
    IWMPMedia* NewMediaObject(const CMediaRef& media);
    IWMPPlaylist* NewPlaylistObject(const CPlaylistRef& playlist);

private slots:
    void OnLaunchTimer();

private:
    enum EventType : int
    {
        EvOpenStateChange = 0,
        EvPlayStateChange,
        EvPositionChange,
        EvCurrentItemChange,
        EvCurrentPlaylistChange,
        EvPlaylistChange,
        EvMediaChange,
        EvModeChange,
        EvError,
        EvMediaCollectionChange,
        EvMediaCollectionMediaAdded,
        EvMediaCollectionMediaRemoved,
        EvMediaCollectionAttributeStringAdded,
        EvMediaCollectionAttributeStringRemoved,
        EvMediaCollectionAttributeStringChanged,
        EvPlaylistCollectionChange,
        EvPlaylistCollectionPlaylistAdded,
        EvPlaylistCollectionPlaylistRemoved,
        EvPlayerDockedStateChange,
        EvPlayerReconnect,
        EvSwitchedToPlayerApplication,
        EvSwitchedToControl,
    };
    struct CEvent
    {
        int type = 0;
        qint32 number = 0;
        double from = 0;
        double to = 0;
        bool flag = false;
        QString texts[3];
        CMediaRef media;
        CPlaylistRef playlist;
        bool hasObject = false;
    };
    struct CSink
    {
        quint32 cookie;
        const void* owner;
        bool typed;
        IUnknown* sink;
    };
    struct CFault
    {
        HRESULT code;
        int times;
    };

    // CSimLibrary::CObserver
    void OnMediaAdded(const CMediaRef& media) override;
    void OnMediaRemoved(const CMediaRef& media) override;
    void OnMediaChanged(const CMediaRef& media) override;
    void OnAttributeString(int attr, const QString& oldValue, const QString& newValue) override;
    void OnPlaylistChanged(const CPlaylistRef& playlist, int change) override;
    void OnPlaylistAdded(const CPlaylistRef& playlist) override;
    void OnPlaylistRemoved(const CPlaylistRef& playlist) override;

    void Queue(const CEvent& event);
    void QueueSimple(int type, qint32 number = 0);
    void QueueItem(int type, const CMediaRef& media);
    void Deliver(const CEvent& event);
    static const char* EventName(int type);

    // Play engine.
    void Update();
    void ScheduleEndTimer();
    qint64 DurationMs(const CMediaRef& media) const;
    qint64 RawPosition() const;
    void SyncIndex();
    void RebuildOrder();
    int NeighbourIndex(int step);
    // Next (1) or Previous (-1): false when there is no such item.
    bool Step(int step);
    void MakeCurrent(int index, bool keepPlaying);
    void SetState(qint32 state);

    CSimLibrary m_library;
    CSimClock m_clock;

    // Engine state.
    CPlaylistRef m_current;
    int m_index = -1;
    CMediaRef m_media;
    qint32 m_state = WmpPlayStateUndefined;
    qint64 m_basePos = 0;
    qint64 m_baseClock = 0;
    QVector<int> m_order;  // play order of the current list (shuffled or not)
    QRandomGenerator m_random;
    bool m_autoStart = true;
    int m_volume = 50;
    bool m_mute = false;
    bool m_shuffle = false;
    bool m_loop = false;
    QTimer* m_endTimer;
    bool m_updating = false;

    // Application.
    bool m_running = false;
    int m_launchDelay = 0;
    int m_launchCount = 0;
    int m_foregroundCount = 0;
    QTimer* m_launchTimer;
    bool m_musicImported = false;
    QVector<QPair<HRESULT, QString>> m_errors;
    QHash<QString, QHash<QString, QString>> m_tagOverrides;

    // Events.
    QVector<CSink> m_sinks;
    QVector<CEvent> m_queue;
    QStringList m_delivered;
    bool m_synchronous = false;
    bool m_delivering = false;
    QTimer* m_flushTimer;
    quint32 m_nextCookie = 1;

    // Test controls.
    QHash<QString, int> m_calls;
    QHash<QString, CFault> m_faults;
    QHash<QString, bool> m_returnNull;
    QHash<QString, bool> m_unavailable;
    bool m_busy = false;
};

} // namespace Wmp
} // namespace Platform
