#include "platform/wmp/simplayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>

#include "platform/wmp/simimport.h"
#include "platform/wmp/simobjects.h"

namespace Platform {
namespace Wmp {

namespace {

CSimPlayer* g_instance = nullptr;

void DestroyInstance()
{
    delete g_instance;
    g_instance = nullptr;
}

// Seed of the shuffle order: fixed, so that a shuffled run is the same every time.
constexpr quint32 kShuffleSeed = 20260101u;

} // namespace

CSimPlayer::CSimPlayer(QObject* parent)
    : QObject(parent),
      m_random(kShuffleSeed),
      m_endTimer(new QTimer(this)),
      m_launchTimer(new QTimer(this)),
      m_flushTimer(new QTimer(this))
{
    m_library.SetObserver(this);
    m_endTimer->setSingleShot(true);
    m_launchTimer->setSingleShot(true);
    m_flushTimer->setSingleShot(true);
    m_flushTimer->setInterval(0);
    connect(m_endTimer, &QTimer::timeout, this, &CSimPlayer::Update);
    connect(m_launchTimer, &QTimer::timeout, this, &CSimPlayer::OnLaunchTimer);
    connect(m_flushTimer, &QTimer::timeout, this, &CSimPlayer::FlushEvents);
}

CSimPlayer::~CSimPlayer()
{
    m_library.SetObserver(nullptr);
    const QVector<CSink> sinks = m_sinks;
    m_sinks.clear();
    for (const CSink& sink : sinks)
        sink.sink->Release();
}

CSimPlayer* CSimPlayer::Instance()
{
    if (!g_instance) {
        g_instance = new CSimPlayer();
        qAddPostRoutine(DestroyInstance);
    }
    return g_instance;
}

void CSimPlayer::Reset()
{
    m_library.Clear();
    m_current.reset();
    m_index = -1;
    m_media.reset();
    m_state = WmpPlayStateUndefined;
    m_basePos = 0;
    m_baseClock = 0;
    m_order.clear();
    m_random.seed(kShuffleSeed);
    m_autoStart = true;
    m_volume = 50;
    m_mute = false;
    m_shuffle = false;
    m_loop = false;
    m_endTimer->stop();
    m_running = false;
    m_launchDelay = 0;
    m_launchCount = 0;
    m_foregroundCount = 0;
    m_launchTimer->stop();
    m_musicImported = false;
    m_errors.clear();
    m_tagOverrides.clear();
    m_queue.clear();
    m_delivered.clear();
    m_synchronous = false;
    m_flushTimer->stop();
    m_calls.clear();
    m_faults.clear();
    m_returnNull.clear();
    m_unavailable.clear();
    m_busy = false;
    m_clock.SetManual(false);
}

// ---- library set-up -----------------------------------------------------------------------------------

quint32 CSimPlayer::AddMedia(const QHash<QString, QString>& values)
{
    return m_library.AddMedia(QStringLiteral("audio"), values)->id;
}

HRESULT CSimPlayer::AddFile(const QString& path, quint32* id)
{
    if (id)
        *id = 0;
    const QString native = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    CMediaRef media = m_library.FindByPath(native);
    if (!media) {
        QHash<QString, QString> values;
        if (!ReadFileValues(path, values))
            return WMP_E_FILE_NOT_FOUND;
        media = m_library.AddMedia(QStringLiteral("audio"), values);
    }
    if (id)
        *id = media->id;
    return S_OK;
}

int CSimPlayer::ImportFolder(const QString& folder)
{
    int added = 0;
    for (const QString& path : CSimImport::FindAudioFiles(folder)) {
        const QString native = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
        if (m_library.FindByPath(native))
            continue;
        QHash<QString, QString> values;
        if (!ReadFileValues(path, values))
            continue;
        m_library.AddMedia(QStringLiteral("audio"), values, false);
        ++added;
    }
    if (added > 0)
        QueueSimple(EvMediaCollectionChange);
    return added;
}

void CSimPlayer::ImportMusicFolderOnce()
{
    if (m_musicImported)
        return;
    m_musicImported = true;
    const QString folder = MusicFolder();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        ImportFolder(folder);
}

QString CSimPlayer::MusicFolder()
{
    const QString configured = QSettings().value(QStringLiteral("platform/music_folder")).toString().trimmed();
    if (!configured.isEmpty())
        return configured;
    return QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
}

quint32 CSimPlayer::AddPlaylist(const QString& name, const QVector<quint32>& items, bool isAuto)
{
    const CPlaylistRef playlist = m_library.NewPlaylist(name, false);
    for (quint32 id : items)
        m_library.InsertItem(playlist, playlist->items.size(), id);
    playlist->isAuto = isAuto;
    return playlist->id;
}

QString CSimPlayer::RawAttribute(quint32 id, const QString& name) const
{
    const CMediaRef media = m_library.FindById(id);
    const int attr = CSimLibrary::AttributeIndex(name);
    return (media && attr >= 0) ? media->values[attr] : QString();
}

bool CSimPlayer::SetRawAttribute(quint32 id, const QString& name, const QString& value)
{
    return SUCCEEDED(m_library.SetValue(m_library.FindById(id), CSimLibrary::AttributeIndex(name), value, true));
}

void CSimPlayer::SetTagOverride(const QString& path, const QHash<QString, QString>& values)
{
    m_tagOverrides.insert(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), values);
}

bool CSimPlayer::ReadFileValues(const QString& path, QHash<QString, QString>& values) const
{
    if (!CSimImport::ReadFileValues(path, values))
        return false;
    const auto it = m_tagOverrides.constFind(values.value(QStringLiteral("SourceURL")));
    if (it != m_tagOverrides.constEnd()) {
        for (auto v = it->constBegin(); v != it->constEnd(); ++v)
            values.insert(v.key(), v.value());
    }
    return true;
}

// ---- application ----------------------------------------------------------------------------------

void CSimPlayer::SetRunning(bool running)
{
    if (running == m_running)
        return;
    if (!running) {
        m_launchTimer->stop();
        Stop();
    }
    m_running = running;
    QueueSimple(EvPlayerDockedStateChange);
}

void CSimPlayer::Launch()
{
    ++m_launchCount;
    if (m_running || m_launchTimer->isActive())
        return;
    m_launchTimer->start(qMax(0, m_launchDelay));
}

void CSimPlayer::OnLaunchTimer()
{
    SetRunning(true);
}

void CSimPlayer::Quit()
{
    SetRunning(false);
}

void CSimPlayer::SwitchToPlayerApplication()
{
    ++m_foregroundCount;
    QueueSimple(EvSwitchedToPlayerApplication);
}

void CSimPlayer::SwitchToControl()
{
    QueueSimple(EvSwitchedToControl);
}

void CSimPlayer::Reconnect()
{
    QueueSimple(EvPlayerReconnect);
}

void CSimPlayer::RaiseError(HRESULT code, const QString& description)
{
    m_errors.prepend(qMakePair(code, description));
    QueueSimple(EvError);
}

// ---- play engine ------------------------------------------------------------------------------------

qint64 CSimPlayer::DurationMs(const CMediaRef& media) const
{
    if (!media)
        return 0;
    return qint64(media->values[AttrDuration].toDouble() * 1000.0 + 0.5);
}

qint64 CSimPlayer::RawPosition() const
{
    if (m_state != WmpPlayStatePlaying)
        return m_basePos;
    return m_basePos + (m_clock.Now() - m_baseClock);
}

void CSimPlayer::SetState(qint32 state)
{
    if (state == m_state)
        return;
    m_state = state;
    QueueSimple(EvPlayStateChange, state);
}

// The current list may have changed since the item was chosen: find the item again.
void CSimPlayer::SyncIndex()
{
    if (!m_current)
        return;
    const QVector<quint32>& items = m_current->items;
    if (m_media && (m_index < 0 || m_index >= items.size() || items.at(m_index) != m_media->id))
        m_index = items.indexOf(m_media->id);
    if (m_order.size() != items.size())
        RebuildOrder();
}

void CSimPlayer::RebuildOrder()
{
    const int count = m_current ? m_current->items.size() : 0;
    m_order.resize(count);
    for (int i = 0; i < count; ++i)
        m_order[i] = i;
    if (m_shuffle) {
        for (int i = count - 1; i > 0; --i)
            std::swap(m_order[i], m_order[int(m_random.bounded(i + 1))]);
        // The playing item stays first so that a shuffled run plays every other item after it.
        const int at = m_order.indexOf(m_index);
        if (at > 0)
            std::swap(m_order[0], m_order[at]);
    }
}

// The item index step places away in play order, -1 when there is none (loop wraps round).
int CSimPlayer::NeighbourIndex(int step)
{
    SyncIndex();
    const int count = m_order.size();
    if (count == 0)
        return -1;
    const int at = m_index >= 0 ? m_order.indexOf(m_index) : -1;
    if (at < 0)
        return step > 0 ? m_order.first() : -1;
    int next = at + step;
    if (next < 0 || next >= count) {
        if (!m_loop)
            return -1;
        next = (next + count) % count;
    }
    return m_order.at(next);
}

void CSimPlayer::MakeCurrent(int index, bool keepPlaying)
{
    m_index = index;
    m_media = (m_current && index >= 0 && index < m_current->items.size())
                  ? m_library.FindById(m_current->items.at(index))
                  : CMediaRef();
    m_basePos = 0;
    m_baseClock = m_clock.Now();
    QueueItem(EvCurrentItemChange, m_media);
    if (m_media)
        QueueSimple(EvOpenStateChange, WmpOpenStateMediaOpen);
    if (!keepPlaying && m_state == WmpPlayStatePlaying)
        SetState(WmpPlayStateStopped);
}

void CSimPlayer::Update()
{
    if (m_updating || m_state != WmpPlayStatePlaying)
        return;
    m_updating = true;
    for (int guard = 0; guard < 100000 && m_state == WmpPlayStatePlaying; ++guard) {
        const qint64 duration = DurationMs(m_media);
        const qint64 position = RawPosition();
        if (duration <= 0 || position < duration)
            break;
        const qint64 over = position - duration;
        m_state = WmpPlayStateMediaEnded;
        QueueSimple(EvPlayStateChange, WmpPlayStateMediaEnded);
        const int next = NeighbourIndex(1);
        if (next < 0) {
            m_basePos = 0;
            SetState(WmpPlayStateStopped);
            break;
        }
        MakeCurrent(next, true);
        m_baseClock = m_clock.Now() - over;
        SetState(WmpPlayStatePlaying);
    }
    m_updating = false;
    ScheduleEndTimer();
}

void CSimPlayer::ScheduleEndTimer()
{
    const qint64 duration = DurationMs(m_media);
    if (m_state != WmpPlayStatePlaying || m_clock.IsManual() || duration <= 0) {
        m_endTimer->stop();
        return;
    }
    const qint64 left = qMax<qint64>(0, duration - RawPosition());
    m_endTimer->start(int(qMin<qint64>(left + 1, 24LL * 3600 * 1000)));
}

void CSimPlayer::Play()
{
    Update();
    if (m_state == WmpPlayStatePlaying)
        return;
    if (!m_media) {
        SyncIndex();
        if (m_order.isEmpty())
            return;
        MakeCurrent(m_order.first(), true);
    }
    m_baseClock = m_clock.Now();
    SetState(WmpPlayStatePlaying);
    ScheduleEndTimer();
}

void CSimPlayer::Pause()
{
    Update();
    if (m_state != WmpPlayStatePlaying)
        return;
    m_basePos = RawPosition();
    SetState(WmpPlayStatePaused);
    ScheduleEndTimer();
}

void CSimPlayer::Stop()
{
    Update();
    m_basePos = 0;
    if (m_state == WmpPlayStatePlaying || m_state == WmpPlayStatePaused)
        SetState(WmpPlayStateStopped);
    ScheduleEndTimer();
}

bool CSimPlayer::Step(int step)
{
    Update();
    const int index = NeighbourIndex(step);
    if (index < 0)
        return false;
    MakeCurrent(index, true);
    ScheduleEndTimer();
    return true;
}

bool CSimPlayer::Next()
{
    return Step(1);
}

bool CSimPlayer::Previous()
{
    return Step(-1);
}

HRESULT CSimPlayer::PlayMedia(quint32 id)
{
    const HRESULT hr = SetCurrentItem(id);
    if (FAILED(hr))
        return hr;
    Play();
    return S_OK;
}

HRESULT CSimPlayer::SetCurrentItem(quint32 id)
{
    Update();
    const CMediaRef media = m_library.FindById(id);
    if (!media || media->removed)
        return WMP_E_INVALIDARG;
    CurrentPlaylist();
    int index = m_current->items.indexOf(id);
    if (index < 0) {
        m_current = m_library.MakeTransient(QString(), QVector<quint32>{id});
        m_index = -1;
        RebuildOrder();
        QueueSimple(EvCurrentPlaylistChange, WmpPlaylistChangeUnknown);
        index = 0;
    }
    const bool playing = m_state == WmpPlayStatePlaying;
    MakeCurrent(index, playing);
    if (m_shuffle)
        RebuildOrder();
    if (!playing && m_autoStart)
        Play();
    ScheduleEndTimer();
    return S_OK;
}

HRESULT CSimPlayer::SetCurrentPlaylist(const CPlaylistRef& playlist)
{
    if (!playlist || playlist->removed)
        return WMP_E_INVALIDARG;
    Update();
    m_current = playlist;
    m_index = -1;
    RebuildOrder();
    QueueSimple(EvCurrentPlaylistChange, WmpPlaylistChangeUnknown);
    MakeCurrent(m_order.isEmpty() ? -1 : m_order.first(), false);
    if (m_state == WmpPlayStatePaused)
        SetState(WmpPlayStateStopped);
    if (m_autoStart && m_media)
        Play();
    else if (m_state == WmpPlayStateUndefined && m_media)
        SetState(WmpPlayStateReady);
    ScheduleEndTimer();
    return S_OK;
}

CPlaylistRef CSimPlayer::CurrentPlaylist()
{
    if (!m_current)
        m_current = m_library.MakeTransient(QString(), QVector<quint32>());
    return m_current;
}

CMediaRef CSimPlayer::CurrentMedia()
{
    Update();
    return m_media;
}

qint32 CSimPlayer::PlayState()
{
    Update();
    return m_state;
}

qint64 CSimPlayer::PositionMs()
{
    Update();
    const qint64 duration = DurationMs(m_media);
    const qint64 position = RawPosition();
    return duration > 0 ? qMin(position, duration) : position;
}

void CSimPlayer::SetPositionMs(qint64 ms)
{
    if (!m_media)
        return;
    const qint64 old = PositionMs();
    const qint64 duration = DurationMs(m_media);
    m_basePos = qMax<qint64>(0, duration > 0 ? qMin(ms, duration) : ms);
    m_baseClock = m_clock.Now();
    CEvent event;
    event.type = EvPositionChange;
    event.from = old / 1000.0;
    event.to = m_basePos / 1000.0;
    Queue(event);
    Update();
    ScheduleEndTimer();
}

void CSimPlayer::Advance(qint64 ms)
{
    m_clock.Advance(ms);
    Update();
}

bool CSimPlayer::IsAvailable(const QString& name)
{
    Update();
    SyncIndex();
    const QString key = name.toLower();
    if (key == QLatin1String("play"))
        return m_state != WmpPlayStatePlaying && (m_media || !m_order.isEmpty());
    if (key == QLatin1String("pause"))
        return m_state == WmpPlayStatePlaying;
    if (key == QLatin1String("stop"))
        return m_state == WmpPlayStatePlaying || m_state == WmpPlayStatePaused;
    if (key == QLatin1String("next"))
        return NeighbourIndex(1) >= 0;
    if (key == QLatin1String("previous"))
        return NeighbourIndex(-1) >= 0;
    if (key == QLatin1String("currentposition"))
        return bool(m_media);
    if (key == QLatin1String("currentitem"))
        return !m_order.isEmpty();
    return false;
}

void CSimPlayer::SetVolume(int volume)
{
    m_volume = qBound(0, volume, 100);
}

bool CSimPlayer::Mode(const QString& mode, bool* on) const
{
    const QString key = mode.toLower();
    if (key == QLatin1String("shuffle"))
        *on = m_shuffle;
    else if (key == QLatin1String("loop"))
        *on = m_loop;
    else
        return false;
    return true;
}

bool CSimPlayer::SetMode(const QString& mode, bool on)
{
    const QString key = mode.toLower();
    if (key == QLatin1String("shuffle")) {
        if (m_shuffle == on)
            return true;
        m_shuffle = on;
        SyncIndex();
        RebuildOrder();
    } else if (key == QLatin1String("loop")) {
        if (m_loop == on)
            return true;
        m_loop = on;
    } else {
        return false;
    }
    CEvent event;
    event.type = EvModeChange;
    event.texts[0] = key;
    event.flag = on;
    Queue(event);
    return true;
}

// ---- library events -----------------------------------------------------------------------------

void CSimPlayer::OnMediaAdded(const CMediaRef& media)
{
    if (media->IsOfType(QStringLiteral("audio")))
        QueueItem(EvMediaCollectionMediaAdded, media);
}

void CSimPlayer::OnMediaRemoved(const CMediaRef& media)
{
    if (media->IsOfType(QStringLiteral("audio")))
        QueueItem(EvMediaCollectionMediaRemoved, media);
}

void CSimPlayer::OnMediaChanged(const CMediaRef& media)
{
    QueueItem(EvMediaChange, media);
}

void CSimPlayer::OnAttributeString(int attr, const QString& oldValue, const QString& newValue)
{
    CEvent event;
    event.texts[0] = CSimLibrary::AttributeName(attr);
    if (!oldValue.isEmpty() && !newValue.isEmpty()) {
        event.type = EvMediaCollectionAttributeStringChanged;
        event.texts[1] = oldValue;
        event.texts[2] = newValue;
    } else if (!newValue.isEmpty()) {
        event.type = EvMediaCollectionAttributeStringAdded;
        event.texts[1] = newValue;
    } else {
        event.type = EvMediaCollectionAttributeStringRemoved;
        event.texts[1] = oldValue;
    }
    Queue(event);
}

void CSimPlayer::OnPlaylistChanged(const CPlaylistRef& playlist, int change)
{
    CEvent event;
    event.type = EvPlaylistChange;
    event.playlist = playlist;
    event.hasObject = true;
    event.number = change;
    Queue(event);
    if (playlist == m_current)
        QueueSimple(EvCurrentPlaylistChange, change);
}

void CSimPlayer::OnPlaylistAdded(const CPlaylistRef& playlist)
{
    CEvent event;
    event.type = EvPlaylistCollectionPlaylistAdded;
    event.texts[0] = playlist->name;
    Queue(event);
    QueueSimple(EvPlaylistCollectionChange);
}

void CSimPlayer::OnPlaylistRemoved(const CPlaylistRef& playlist)
{
    CEvent event;
    event.type = EvPlaylistCollectionPlaylistRemoved;
    event.texts[0] = playlist->name;
    Queue(event);
    QueueSimple(EvPlaylistCollectionChange);
}

// ---- event delivery ---------------------------------------------------------------------------------

const char* CSimPlayer::EventName(int type)
{
    static const char* const names[] = {
        "OpenStateChange",
        "PlayStateChange",
        "PositionChange",
        "CurrentItemChange",
        "CurrentPlaylistChange",
        "PlaylistChange",
        "MediaChange",
        "ModeChange",
        "Error",
        "MediaCollectionChange",
        "MediaCollectionMediaAdded",
        "MediaCollectionMediaRemoved",
        "MediaCollectionAttributeStringAdded",
        "MediaCollectionAttributeStringRemoved",
        "MediaCollectionAttributeStringChanged",
        "PlaylistCollectionChange",
        "PlaylistCollectionPlaylistAdded",
        "PlaylistCollectionPlaylistRemoved",
        "PlayerDockedStateChange",
        "PlayerReconnect",
        "SwitchedToPlayerApplication",
        "SwitchedToControl",
    };
    return names[type];
}

void CSimPlayer::QueueSimple(int type, qint32 number)
{
    CEvent event;
    event.type = type;
    event.number = number;
    Queue(event);
}

void CSimPlayer::QueueItem(int type, const CMediaRef& media)
{
    CEvent event;
    event.type = type;
    event.media = media;
    event.hasObject = true;
    Queue(event);
}

void CSimPlayer::Queue(const CEvent& event)
{
    // Nobody listens: nothing to keep.
    if (m_sinks.isEmpty())
        return;
    m_queue.append(event);
    if (m_synchronous)
        FlushEvents();
    else if (!m_flushTimer->isActive())
        m_flushTimer->start();
}

void CSimPlayer::FlushEvents()
{
    // Events raised by a sink while it handles one are sent after it, in order.
    if (m_delivering)
        return;
    m_delivering = true;
    for (int i = 0; i < m_queue.size(); ++i) {
        const CEvent event = m_queue.at(i);  // a sink may queue more while it runs
        Deliver(event);
    }
    m_queue.clear();
    m_delivering = false;
}

void CSimPlayer::Deliver(const CEvent& event)
{
    if (m_sinks.isEmpty())
        return;
    // The log is for tests; a long-running program keeps only the recent part of it.
    if (m_delivered.size() >= 10000)
        m_delivered.erase(m_delivered.begin(), m_delivered.begin() + 5000);
    const QString name = QString::fromLatin1(EventName(event.type));
    m_delivered.append(name);

    // The object argument is one fresh wrapper, valid while the sinks run.
    IUnknown* object = nullptr;
    if (event.hasObject) {
        if (event.playlist)
            object = NewPlaylistObject(event.playlist);
        else if (event.media)
            object = NewMediaObject(event.media);
    }
    const QVector<CSink> sinks = m_sinks;
    for (const CSink& sink : sinks)
        sink.sink->AddRef();
    for (const CSink& sink : sinks) {
        if (!sink.typed) {
            QVariantList args;
            switch (event.type) {
            case EvOpenStateChange:
            case EvPlayStateChange:
            case EvCurrentPlaylistChange:
                args << event.number;
                break;
            case EvPositionChange:
                args << event.from << event.to;
                break;
            case EvCurrentItemChange:
            case EvMediaChange:
            case EvMediaCollectionMediaAdded:
            case EvMediaCollectionMediaRemoved:
                args << QVariant::fromValue(static_cast<void*>(object));
                break;
            case EvPlaylistChange:
                args << QVariant::fromValue(static_cast<void*>(object)) << event.number;
                break;
            case EvModeChange:
                args << event.texts[0] << event.flag;
                break;
            case EvMediaCollectionAttributeStringAdded:
            case EvMediaCollectionAttributeStringRemoved:
                args << event.texts[0] << event.texts[1];
                break;
            case EvMediaCollectionAttributeStringChanged:
                args << event.texts[0] << event.texts[1] << event.texts[2];
                break;
            case EvPlaylistCollectionPlaylistAdded:
            case EvPlaylistCollectionPlaylistRemoved:
                args << event.texts[0];
                break;
            default:
                break;
            }
            static_cast<_WMPOCXEvents*>(sink.sink)->Invoke(name, args);
            continue;
        }
        IWMPEvents* s = static_cast<IWMPEvents*>(sink.sink);
        switch (event.type) {
        case EvOpenStateChange: s->OpenStateChange(event.number); break;
        case EvPlayStateChange: s->PlayStateChange(event.number); break;
        case EvPositionChange: s->PositionChange(event.from, event.to); break;
        case EvCurrentItemChange: s->CurrentItemChange(object); break;
        case EvCurrentPlaylistChange: s->CurrentPlaylistChange(event.number); break;
        case EvPlaylistChange: s->PlaylistChange(object, event.number); break;
        case EvMediaChange: s->MediaChange(object); break;
        case EvModeChange: s->ModeChange(event.texts[0], event.flag); break;
        case EvError: s->Error(); break;
        case EvMediaCollectionChange: s->MediaCollectionChange(); break;
        case EvMediaCollectionMediaAdded: s->MediaCollectionMediaAdded(object); break;
        case EvMediaCollectionMediaRemoved: s->MediaCollectionMediaRemoved(object); break;
        case EvMediaCollectionAttributeStringAdded:
            s->MediaCollectionAttributeStringAdded(event.texts[0], event.texts[1]);
            break;
        case EvMediaCollectionAttributeStringRemoved:
            s->MediaCollectionAttributeStringRemoved(event.texts[0], event.texts[1]);
            break;
        case EvMediaCollectionAttributeStringChanged:
            s->MediaCollectionAttributeStringChanged(event.texts[0], event.texts[1], event.texts[2]);
            break;
        case EvPlaylistCollectionChange: s->PlaylistCollectionChange(); break;
        case EvPlaylistCollectionPlaylistAdded: s->PlaylistCollectionPlaylistAdded(event.texts[0]); break;
        case EvPlaylistCollectionPlaylistRemoved: s->PlaylistCollectionPlaylistRemoved(event.texts[0]); break;
        case EvPlayerDockedStateChange: s->PlayerDockedStateChange(); break;
        case EvPlayerReconnect: s->PlayerReconnect(); break;
        case EvSwitchedToPlayerApplication: s->SwitchedToPlayerApplication(); break;
        case EvSwitchedToControl: s->SwitchedToControl(); break;
        default: break;
        }
    }
    for (const CSink& sink : sinks)
        sink.sink->Release();
    if (object)
        object->Release();
}

quint32 CSimPlayer::RegisterSink(const void* owner, const IID& kind, IUnknown* sink)
{
    const quint32 cookie = m_nextCookie++;
    m_sinks.append({cookie, owner, kind == IID_IWMPEvents, sink});
    return cookie;
}

bool CSimPlayer::UnregisterSink(const void* owner, quint32 cookie)
{
    for (int i = 0; i < m_sinks.size(); ++i) {
        if (m_sinks.at(i).cookie == cookie && m_sinks.at(i).owner == owner) {
            IUnknown* sink = m_sinks.at(i).sink;
            m_sinks.remove(i);
            sink->Release();
            return true;
        }
    }
    return false;
}

void CSimPlayer::UnregisterSinks(const void* owner)
{
    QVector<IUnknown*> released;
    for (int i = m_sinks.size() - 1; i >= 0; --i) {
        if (m_sinks.at(i).owner == owner) {
            released.append(m_sinks.at(i).sink);
            m_sinks.remove(i);
        }
    }
    for (IUnknown* sink : released)
        sink->Release();
}

IWMPMedia* CSimPlayer::NewMediaObject(const CMediaRef& media)
{
    return media ? new CSimMedia(this, media) : nullptr;
}

IWMPPlaylist* CSimPlayer::NewPlaylistObject(const CPlaylistRef& playlist)
{
    return playlist ? new CSimPlaylist(this, playlist) : nullptr;
}

// ---- faults and counters ------------------------------------------------------------------------

HRESULT CSimPlayer::Enter(const char* method)
{
    const QString key = QString::fromLatin1(method);
    ++m_calls[key];
    if (m_busy)
        return RPC_E_CALL_REJECTED;
    auto it = m_faults.find(key);
    if (it == m_faults.end())
        return S_OK;
    const HRESULT code = it->code;
    if (it->times > 0 && --it->times == 0)
        m_faults.erase(it);
    return code;
}

bool CSimPlayer::ReturnsNull(const char* method) const
{
    return m_returnNull.value(QString::fromLatin1(method));
}

void CSimPlayer::FailCall(const QString& method, HRESULT code, int times)
{
    if (times == 0)
        m_faults.remove(method);
    else
        m_faults.insert(method, {code, times});
}

void CSimPlayer::ClearFaults()
{
    m_faults.clear();
    m_returnNull.clear();
    m_unavailable.clear();
    m_busy = false;
}

void CSimPlayer::SetReturnNull(const QString& method, bool on)
{
    if (on)
        m_returnNull.insert(method, true);
    else
        m_returnNull.remove(method);
}

void CSimPlayer::SetInterfaceAvailable(const QString& name, bool available)
{
    if (available)
        m_unavailable.remove(name);
    else
        m_unavailable.insert(name, true);
}

} // namespace Wmp
} // namespace Platform
