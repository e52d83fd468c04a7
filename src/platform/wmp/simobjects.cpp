#include "platform/wmp/simobjects.h"

#include <QFile>

#include "platform/wmp/simplayer.h"

namespace Platform {
namespace Wmp {

namespace {

constexpr HRESULT kCannotConnect = MakeHResult(0x80040202u);

template <class T>
HRESULT Hand(T* object, void** out)
{
    object->AddRef();
    *out = object;
    return S_OK;
}

// QueryInterface of an object with one interface (own) besides IUnknown.
template <class T>
HRESULT QueryOne(T* self, const IID& own, const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == own)
        return Hand(self, object);
    return E_NOINTERFACE;
}

} // namespace

// Every method: the player must still exist, then the call is counted and may be refused.
#define SIM_ENTER(method)                                     \
    CSimPlayer* const player = Player();                      \
    if (!player)                                              \
        return WMP_E_DISCONNECTED;                            \
    {                                                         \
        const HRESULT entered = player->Enter(method);        \
        if (FAILED(entered))                                  \
            return entered;                                   \
    }

#define SIM_CHECK_OUT(out) \
    if (!(out))            \
        return E_POINTER;

// ---- base ---------------------------------------------------------------------------------------

CSimObjectBase::CSimObjectBase(CSimPlayer* player) : m_player(player) {}

CSimObjectBase::~CSimObjectBase() = default;

quint32 CSimObjectBase::DoRelease()
{
    const quint32 left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

// ---- media --------------------------------------------------------------------------------------

CSimMedia::CSimMedia(CSimPlayer* player, const CMediaRef& media) : CSimObjectBase(player), m_media(media) {}

CMediaRef CSimMedia::RecordOf(IUnknown* object)
{
    const CSimMedia* media = dynamic_cast<CSimMedia*>(object);
    return media ? media->m_media : CMediaRef();
}

HRESULT CSimMedia::QueryInterface(const IID& iid, void** object)
{
    return QueryOne(static_cast<IWMPMedia*>(this), IID_IWMPMedia, iid, object);
}

HRESULT CSimMedia::get_isIdentical(IWMPMedia* other, bool* identical)
{
    SIM_ENTER("IWMPMedia::get_isIdentical");
    SIM_CHECK_OUT(identical);
    if (!other)
        return E_POINTER;
    *identical = RecordOf(other) == m_media;
    return S_OK;
}

HRESULT CSimMedia::get_sourceURL(QString* url)
{
    SIM_ENTER("IWMPMedia::get_sourceURL");
    SIM_CHECK_OUT(url);
    *url = m_media->values[AttrSourceUrl];
    return S_OK;
}

HRESULT CSimMedia::get_name(QString* name)
{
    SIM_ENTER("IWMPMedia::get_name");
    SIM_CHECK_OUT(name);
    *name = m_media->values[AttrTitle];
    return S_OK;
}

HRESULT CSimMedia::put_name(const QString& name)
{
    SIM_ENTER("IWMPMedia::put_name");
    if (name.isEmpty())
        return WMP_E_INVALIDARG;
    return player->Library().SetValue(m_media, AttrTitle, name);
}

HRESULT CSimMedia::get_duration(double* seconds)
{
    SIM_ENTER("IWMPMedia::get_duration");
    SIM_CHECK_OUT(seconds);
    *seconds = m_media->values[AttrDuration].toDouble();
    return S_OK;
}

HRESULT CSimMedia::get_attributeCount(qint32* count)
{
    SIM_ENTER("IWMPMedia::get_attributeCount");
    SIM_CHECK_OUT(count);
    *count = AttrCount;
    return S_OK;
}

HRESULT CSimMedia::getAttributeName(qint32 index, QString* name)
{
    SIM_ENTER("IWMPMedia::getAttributeName");
    SIM_CHECK_OUT(name);
    if (index < 0 || index >= AttrCount)
        return WMP_E_INVALIDARG;
    *name = CSimLibrary::AttributeName(index);
    return S_OK;
}

HRESULT CSimMedia::getItemInfo(const QString& attribute, QString* value)
{
    SIM_ENTER("IWMPMedia::getItemInfo");
    SIM_CHECK_OUT(value);
    const int attr = CSimLibrary::AttributeIndex(attribute);
    *value = attr >= 0 ? m_media->values[attr] : QString();
    return S_OK;
}

HRESULT CSimMedia::setItemInfo(const QString& attribute, const QString& value)
{
    SIM_ENTER("IWMPMedia::setItemInfo");
    const int attr = CSimLibrary::AttributeIndex(attribute);
    if (attr < 0)
        return WMP_E_INVALIDARG;
    return player->Library().SetValue(m_media, attr, value);
}

HRESULT CSimMedia::getItemInfoByAtom(qint32 atom, QString* value)
{
    SIM_ENTER("IWMPMedia::getItemInfoByAtom");
    SIM_CHECK_OUT(value);
    const int attr = CSimLibrary::AttributeOfAtom(atom);
    if (attr < 0)
        return WMP_E_INVALIDARG;
    *value = m_media->values[attr];
    return S_OK;
}

HRESULT CSimMedia::isReadOnlyItem(const QString& attribute, bool* readOnly)
{
    SIM_ENTER("IWMPMedia::isReadOnlyItem");
    SIM_CHECK_OUT(readOnly);
    *readOnly = CSimLibrary::IsReadOnly(CSimLibrary::AttributeIndex(attribute));
    return S_OK;
}

// ---- playlist -----------------------------------------------------------------------------------

CSimPlaylist::CSimPlaylist(CSimPlayer* player, const CPlaylistRef& playlist)
    : CSimObjectBase(player), m_playlist(playlist)
{
}

CPlaylistRef CSimPlaylist::RecordOf(IUnknown* object)
{
    const CSimPlaylist* playlist = dynamic_cast<CSimPlaylist*>(object);
    return playlist ? playlist->m_playlist : CPlaylistRef();
}

HRESULT CSimPlaylist::QueryInterface(const IID& iid, void** object)
{
    return QueryOne(static_cast<IWMPPlaylist*>(this), IID_IWMPPlaylist, iid, object);
}

HRESULT CSimPlaylist::get_count(qint32* count)
{
    SIM_ENTER("IWMPPlaylist::get_count");
    SIM_CHECK_OUT(count);
    *count = m_playlist->items.size();
    return S_OK;
}

HRESULT CSimPlaylist::get_name(QString* name)
{
    SIM_ENTER("IWMPPlaylist::get_name");
    SIM_CHECK_OUT(name);
    *name = m_playlist->name;
    return S_OK;
}

HRESULT CSimPlaylist::put_name(const QString& name)
{
    SIM_ENTER("IWMPPlaylist::put_name");
    if (name.isEmpty())
        return WMP_E_INVALIDARG;
    if (m_playlist->removed)
        return E_UNEXPECTED;
    if (m_playlist->inCollection)
        player->Library().RenamePlaylist(m_playlist, name);
    else
        m_playlist->name = name;
    return S_OK;
}

HRESULT CSimPlaylist::get_attributeCount(qint32* count)
{
    SIM_ENTER("IWMPPlaylist::get_attributeCount");
    SIM_CHECK_OUT(count);
    *count = 2;
    return S_OK;
}

HRESULT CSimPlaylist::get_attributeName(qint32 index, QString* name)
{
    SIM_ENTER("IWMPPlaylist::get_attributeName");
    SIM_CHECK_OUT(name);
    if (index < 0 || index > 1)
        return WMP_E_INVALIDARG;
    *name = index == 0 ? QStringLiteral("Name") : QStringLiteral("PlaylistType");
    return S_OK;
}

HRESULT CSimPlaylist::get_item(qint32 index, IWMPMedia** item)
{
    SIM_ENTER("IWMPPlaylist::get_item");
    SIM_CHECK_OUT(item);
    *item = nullptr;
    if (index < 0 || index >= m_playlist->items.size())
        return WMP_E_INVALIDARG;
    const CMediaRef media = player->Library().FindById(m_playlist->items.at(index));
    if (!media)
        return E_UNEXPECTED;
    *item = player->NewMediaObject(media);
    return S_OK;
}

HRESULT CSimPlaylist::getItemInfo(const QString& attribute, QString* value)
{
    SIM_ENTER("IWMPPlaylist::getItemInfo");
    SIM_CHECK_OUT(value);
    if (attribute.compare(QLatin1String("PlaylistType"), Qt::CaseInsensitive) == 0)
        *value = m_playlist->isAuto ? QStringLiteral("Auto") : QStringLiteral("Static");
    else if (attribute.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0 ||
             attribute.compare(QLatin1String("Title"), Qt::CaseInsensitive) == 0)
        *value = m_playlist->name;
    else
        value->clear();
    return S_OK;
}

HRESULT CSimPlaylist::setItemInfo(const QString& attribute, const QString& value)
{
    if (attribute.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0 ||
        attribute.compare(QLatin1String("Title"), Qt::CaseInsensitive) == 0)
        return put_name(value);
    SIM_ENTER("IWMPPlaylist::setItemInfo");
    if (attribute.compare(QLatin1String("PlaylistType"), Qt::CaseInsensitive) == 0)
        return WMP_E_ACCESS_DENIED;
    return WMP_E_INVALIDARG;
}

HRESULT CSimPlaylist::get_isIdentical(IWMPPlaylist* other, bool* identical)
{
    SIM_ENTER("IWMPPlaylist::get_isIdentical");
    SIM_CHECK_OUT(identical);
    if (!other)
        return E_POINTER;
    *identical = RecordOf(other) == m_playlist;
    return S_OK;
}

HRESULT CSimPlaylist::clear()
{
    SIM_ENTER("IWMPPlaylist::clear");
    if (m_playlist->removed)
        return E_UNEXPECTED;
    if (m_playlist->isAuto)
        return WMP_E_ACCESS_DENIED;
    player->Library().ClearPlaylist(m_playlist);
    return S_OK;
}

HRESULT CSimPlaylist::insertItem(qint32 index, IWMPMedia* item)
{
    SIM_ENTER("IWMPPlaylist::insertItem");
    const CMediaRef media = CSimMedia::RecordOf(item);
    if (!media)
        return WMP_E_INVALIDARG;
    return player->Library().InsertItem(m_playlist, index, media->id);
}

HRESULT CSimPlaylist::appendItem(IWMPMedia* item)
{
    SIM_ENTER("IWMPPlaylist::appendItem");
    const CMediaRef media = CSimMedia::RecordOf(item);
    if (!media)
        return WMP_E_INVALIDARG;
    return player->Library().InsertItem(m_playlist, m_playlist->items.size(), media->id);
}

HRESULT CSimPlaylist::removeItem(IWMPMedia* item)
{
    SIM_ENTER("IWMPPlaylist::removeItem");
    const CMediaRef media = CSimMedia::RecordOf(item);
    if (!media)
        return WMP_E_INVALIDARG;
    return player->Library().RemoveItem(m_playlist, media->id);
}

HRESULT CSimPlaylist::moveItem(qint32 oldIndex, qint32 newIndex)
{
    SIM_ENTER("IWMPPlaylist::moveItem");
    return player->Library().MoveItem(m_playlist, oldIndex, newIndex);
}

// ---- playlist array and collection --------------------------------------------------------------

CSimPlaylistArray::CSimPlaylistArray(CSimPlayer* player, const QVector<CPlaylistRef>& playlists)
    : CSimObjectBase(player), m_playlists(playlists)
{
}

HRESULT CSimPlaylistArray::QueryInterface(const IID& iid, void** object)
{
    return QueryOne(static_cast<IWMPPlaylistArray*>(this), IID_IWMPPlaylistArray, iid, object);
}

HRESULT CSimPlaylistArray::get_count(qint32* count)
{
    SIM_ENTER("IWMPPlaylistArray::get_count");
    SIM_CHECK_OUT(count);
    *count = m_playlists.size();
    return S_OK;
}

HRESULT CSimPlaylistArray::item(qint32 index, IWMPPlaylist** playlist)
{
    SIM_ENTER("IWMPPlaylistArray::item");
    SIM_CHECK_OUT(playlist);
    *playlist = nullptr;
    if (index < 0 || index >= m_playlists.size())
        return WMP_E_INVALIDARG;
    *playlist = player->NewPlaylistObject(m_playlists.at(index));
    return S_OK;
}

CSimPlaylistCollection::CSimPlaylistCollection(CSimPlayer* player) : CSimObjectBase(player) {}

HRESULT CSimPlaylistCollection::QueryInterface(const IID& iid, void** object)
{
    return QueryOne(static_cast<IWMPPlaylistCollection*>(this), IID_IWMPPlaylistCollection, iid, object);
}

HRESULT CSimPlaylistCollection::newPlaylist(const QString& name, IWMPPlaylist** playlist)
{
    SIM_ENTER("IWMPPlaylistCollection::newPlaylist");
    SIM_CHECK_OUT(playlist);
    *playlist = nullptr;
    if (name.isEmpty())
        return WMP_E_INVALIDARG;
    const CPlaylistRef made = player->Library().NewPlaylist(name, false);
    if (!player->ReturnsNull("IWMPPlaylistCollection::newPlaylist"))
        *playlist = player->NewPlaylistObject(made);
    return S_OK;
}

HRESULT CSimPlaylistCollection::getAll(IWMPPlaylistArray** playlists)
{
    SIM_ENTER("IWMPPlaylistCollection::getAll");
    SIM_CHECK_OUT(playlists);
    *playlists = new CSimPlaylistArray(player, player->Library().Playlists());
    return S_OK;
}

HRESULT CSimPlaylistCollection::getByName(const QString& name, IWMPPlaylistArray** playlists)
{
    SIM_ENTER("IWMPPlaylistCollection::getByName");
    SIM_CHECK_OUT(playlists);
    *playlists = new CSimPlaylistArray(player, player->Library().PlaylistsByName(name));
    return S_OK;
}

HRESULT CSimPlaylistCollection::remove(IWMPPlaylist* playlist)
{
    SIM_ENTER("IWMPPlaylistCollection::remove");
    const CPlaylistRef record = CSimPlaylist::RecordOf(playlist);
    if (!record || !record->inCollection)
        return WMP_E_INVALIDARG;
    player->Library().RemovePlaylist(record);
    return S_OK;
}

// ---- strings and queries ------------------------------------------------------------------------

CSimStringCollection::CSimStringCollection(CSimPlayer* player, const QStringList& values)
    : CSimObjectBase(player), m_values(values)
{
}

HRESULT CSimStringCollection::QueryInterface(const IID& iid, void** object)
{
    return QueryOne(static_cast<IWMPStringCollection*>(this), IID_IWMPStringCollection, iid, object);
}

HRESULT CSimStringCollection::get_count(qint32* count)
{
    SIM_ENTER("IWMPStringCollection::get_count");
    SIM_CHECK_OUT(count);
    *count = m_values.size();
    return S_OK;
}

HRESULT CSimStringCollection::item(qint32 index, QString* value)
{
    SIM_ENTER("IWMPStringCollection::item");
    SIM_CHECK_OUT(value);
    if (index < 0 || index >= m_values.size())
        return WMP_E_INVALIDARG;
    *value = m_values.at(index);
    return S_OK;
}

CSimQuery::CSimQuery(CSimPlayer* player) : CSimObjectBase(player)
{
    m_groups.append(QVector<CSimLibrary::CCondition>());
}

bool CSimQuery::GroupsOf(IWMPQuery* query, CSimLibrary::CConditionGroups& groups)
{
    const CSimQuery* own = dynamic_cast<CSimQuery*>(query);
    if (!own)
        return false;
    groups = own->m_groups;
    return true;
}

HRESULT CSimQuery::QueryInterface(const IID& iid, void** object)
{
    return QueryOne(static_cast<IWMPQuery*>(this), IID_IWMPQuery, iid, object);
}

HRESULT CSimQuery::addCondition(const QString& attribute, const QString& op, const QString& value)
{
    SIM_ENTER("IWMPQuery::addCondition");
    CSimLibrary::CCondition condition;
    condition.op = CSimLibrary::ParseOperator(op);
    if (condition.op < 0 || attribute.isEmpty())
        return WMP_E_INVALIDARG;
    condition.attr = CSimLibrary::AttributeIndex(attribute);
    condition.value = value.toCaseFolded();
    m_groups.last().append(condition);
    return S_OK;
}

HRESULT CSimQuery::beginNextGroup()
{
    SIM_ENTER("IWMPQuery::beginNextGroup");
    if (!m_groups.last().isEmpty())
        m_groups.append(QVector<CSimLibrary::CCondition>());
    return S_OK;
}

// ---- media collection ---------------------------------------------------------------------------

CSimMediaCollection::CSimMediaCollection(CSimPlayer* player) : CSimObjectBase(player) {}

HRESULT CSimMediaCollection::QueryInterface(const IID& iid, void** object)
{
    SIM_CHECK_OUT(object);
    *object = nullptr;
    CSimPlayer* const player = Player();
    if (iid == IID_IUnknown || iid == IID_IWMPMediaCollection)
        return Hand(static_cast<IWMPMediaCollection*>(this), object);
    if (iid == IID_IWMPMediaCollection2 &&
        (!player || player->IsInterfaceAvailable(QStringLiteral("IWMPMediaCollection2"))))
        return Hand(static_cast<IWMPMediaCollection2*>(this), object);
    return E_NOINTERFACE;
}

HRESULT CSimMediaCollection::Answer(const CSimLibrary::CConditionGroups& groups, const QString& mediaType,
                                    const QString& sort, bool ascending, IWMPPlaylist** items)
{
    CSimPlayer* const player = Player();
    const QVector<quint32> ids = player->Library().Select(groups, mediaType, sort, ascending);
    *items = player->NewPlaylistObject(player->Library().MakeTransient(QString(), ids));
    return S_OK;
}

HRESULT CSimMediaCollection::AnswerEquals(int attr, const QString& value, const QString& mediaType,
                                          IWMPPlaylist** items)
{
    *items = nullptr;
    if (attr < 0)
        return WMP_E_INVALIDARG;
    CSimLibrary::CCondition condition;
    condition.attr = attr;
    condition.value = value.toCaseFolded();
    return Answer({{condition}}, mediaType, QString(), true, items);
}

HRESULT CSimMediaCollection::add(const QString& url, IWMPMedia** item)
{
    SIM_ENTER("IWMPMediaCollection::add");
    SIM_CHECK_OUT(item);
    *item = nullptr;
    quint32 id = 0;
    const HRESULT hr = player->AddFile(url, &id);
    if (FAILED(hr))
        return hr;
    *item = player->NewMediaObject(player->Library().FindById(id));
    return S_OK;
}

HRESULT CSimMediaCollection::getAll(IWMPPlaylist** items)
{
    SIM_ENTER("IWMPMediaCollection::getAll");
    SIM_CHECK_OUT(items);
    return Answer(CSimLibrary::CConditionGroups(), QStringLiteral("audio"), QString(), true, items);
}

HRESULT CSimMediaCollection::getByName(const QString& name, IWMPPlaylist** items)
{
    SIM_ENTER("IWMPMediaCollection::getByName");
    SIM_CHECK_OUT(items);
    return AnswerEquals(AttrTitle, name, QStringLiteral("audio"), items);
}

HRESULT CSimMediaCollection::getByAttribute(const QString& attribute, const QString& value, IWMPPlaylist** items)
{
    SIM_ENTER("IWMPMediaCollection::getByAttribute");
    SIM_CHECK_OUT(items);
    return AnswerEquals(CSimLibrary::AttributeIndex(attribute), value, QStringLiteral("audio"), items);
}

HRESULT CSimMediaCollection::remove(IWMPMedia* item, bool deleteFile)
{
    SIM_ENTER("IWMPMediaCollection::remove");
    const CMediaRef media = CSimMedia::RecordOf(item);
    if (!media || media->removed)
        return WMP_E_INVALIDARG;
    const QString path = media->values[AttrSourceUrl];
    player->Library().RemoveMedia(media);
    if (deleteFile && !path.isEmpty())
        QFile::remove(path);
    return S_OK;
}

HRESULT CSimMediaCollection::getAttributeStringCollection(const QString& attribute, const QString& mediaType,
                                                          IWMPStringCollection** values)
{
    SIM_ENTER("IWMPMediaCollection::getAttributeStringCollection");
    SIM_CHECK_OUT(values);
    *values = nullptr;
    const int attr = CSimLibrary::AttributeIndex(attribute);
    if (attr < 0)
        return WMP_E_INVALIDARG;
    *values = new CSimStringCollection(
        player, player->Library().SelectStrings(attr, CSimLibrary::CConditionGroups(), mediaType, attribute, true));
    return S_OK;
}

HRESULT CSimMediaCollection::getMediaAtom(const QString& attribute, qint32* atom)
{
    SIM_ENTER("IWMPMediaCollection::getMediaAtom");
    SIM_CHECK_OUT(atom);
    const int attr = CSimLibrary::AttributeIndex(attribute);
    if (attr < 0)
        return WMP_E_INVALIDARG;
    *atom = CSimLibrary::AtomOf(attr);
    return S_OK;
}

HRESULT CSimMediaCollection::isDeleted(IWMPMedia* item, bool* deleted)
{
    SIM_ENTER("IWMPMediaCollection::isDeleted");
    SIM_CHECK_OUT(deleted);
    const CMediaRef media = CSimMedia::RecordOf(item);
    if (!media)
        return WMP_E_INVALIDARG;
    *deleted = media->removed;
    return S_OK;
}

HRESULT CSimMediaCollection::createQuery(IWMPQuery** query)
{
    SIM_ENTER("IWMPMediaCollection2::createQuery");
    SIM_CHECK_OUT(query);
    *query = new CSimQuery(player);
    return S_OK;
}

HRESULT CSimMediaCollection::getPlaylistByQuery(IWMPQuery* query, const QString& mediaType,
                                                const QString& sortAttribute, bool ascending, IWMPPlaylist** items)
{
    SIM_ENTER("IWMPMediaCollection2::getPlaylistByQuery");
    SIM_CHECK_OUT(items);
    *items = nullptr;
    CSimLibrary::CConditionGroups groups;
    if (!query)
        return E_POINTER;
    if (!CSimQuery::GroupsOf(query, groups))
        return WMP_E_INVALIDARG;
    return Answer(groups, mediaType, sortAttribute, ascending, items);
}

HRESULT CSimMediaCollection::getStringCollectionByQuery(const QString& attribute, IWMPQuery* query,
                                                        const QString& mediaType, const QString& sortAttribute,
                                                        bool ascending, IWMPStringCollection** values)
{
    SIM_ENTER("IWMPMediaCollection2::getStringCollectionByQuery");
    SIM_CHECK_OUT(values);
    *values = nullptr;
    const int attr = CSimLibrary::AttributeIndex(attribute);
    CSimLibrary::CConditionGroups groups;
    if (!query)
        return E_POINTER;
    if (attr < 0 || !CSimQuery::GroupsOf(query, groups))
        return WMP_E_INVALIDARG;
    *values = new CSimStringCollection(
        player, player->Library().SelectStrings(attr, groups, mediaType, sortAttribute, ascending));
    return S_OK;
}

HRESULT CSimMediaCollection::getByAttributeAndMediaType(const QString& attribute, const QString& value,
                                                        const QString& mediaType, IWMPPlaylist** items)
{
    SIM_ENTER("IWMPMediaCollection2::getByAttributeAndMediaType");
    SIM_CHECK_OUT(items);
    return AnswerEquals(CSimLibrary::AttributeIndex(attribute), value, mediaType, items);
}

// ---- controls and settings ----------------------------------------------------------------------

CSimControls::CSimControls(CSimPlayer* player) : CSimObjectBase(player) {}

HRESULT CSimControls::QueryInterface(const IID& iid, void** object)
{
    return QueryOne(static_cast<IWMPControls*>(this), IID_IWMPControls, iid, object);
}

HRESULT CSimControls::get_isAvailable(const QString& name, bool* available)
{
    SIM_ENTER("IWMPControls::get_isAvailable");
    SIM_CHECK_OUT(available);
    *available = player->IsAvailable(name);
    return S_OK;
}

HRESULT CSimControls::play()
{
    SIM_ENTER("IWMPControls::play");
    player->Play();
    return S_OK;
}

HRESULT CSimControls::stop()
{
    SIM_ENTER("IWMPControls::stop");
    player->Stop();
    return S_OK;
}

HRESULT CSimControls::pause()
{
    SIM_ENTER("IWMPControls::pause");
    player->Pause();
    return S_OK;
}

HRESULT CSimControls::get_currentPosition(double* seconds)
{
    SIM_ENTER("IWMPControls::get_currentPosition");
    SIM_CHECK_OUT(seconds);
    *seconds = player->PositionMs() / 1000.0;
    return S_OK;
}

HRESULT CSimControls::put_currentPosition(double seconds)
{
    SIM_ENTER("IWMPControls::put_currentPosition");
    player->SetPositionMs(qint64(seconds * 1000.0 + 0.5));
    return S_OK;
}

HRESULT CSimControls::next()
{
    SIM_ENTER("IWMPControls::next");
    player->Next();
    return S_OK;
}

HRESULT CSimControls::previous()
{
    SIM_ENTER("IWMPControls::previous");
    player->Previous();
    return S_OK;
}

HRESULT CSimControls::get_currentItem(IWMPMedia** item)
{
    SIM_ENTER("IWMPControls::get_currentItem");
    SIM_CHECK_OUT(item);
    *item = player->NewMediaObject(player->CurrentMedia());
    return S_OK;
}

HRESULT CSimControls::put_currentItem(IWMPMedia* item)
{
    SIM_ENTER("IWMPControls::put_currentItem");
    const CMediaRef media = CSimMedia::RecordOf(item);
    if (!media)
        return WMP_E_INVALIDARG;
    return player->SetCurrentItem(media->id);
}

HRESULT CSimControls::playItem(IWMPMedia* item)
{
    SIM_ENTER("IWMPControls::playItem");
    const CMediaRef media = CSimMedia::RecordOf(item);
    if (!media)
        return WMP_E_INVALIDARG;
    return player->PlayMedia(media->id);
}

CSimSettings::CSimSettings(CSimPlayer* player) : CSimObjectBase(player) {}

HRESULT CSimSettings::QueryInterface(const IID& iid, void** object)
{
    return QueryOne(static_cast<IWMPSettings*>(this), IID_IWMPSettings, iid, object);
}

HRESULT CSimSettings::get_autoStart(bool* autoStart)
{
    SIM_ENTER("IWMPSettings::get_autoStart");
    SIM_CHECK_OUT(autoStart);
    *autoStart = player->AutoStart();
    return S_OK;
}

HRESULT CSimSettings::put_autoStart(bool autoStart)
{
    SIM_ENTER("IWMPSettings::put_autoStart");
    player->SetAutoStart(autoStart);
    return S_OK;
}

HRESULT CSimSettings::get_volume(qint32* volume)
{
    SIM_ENTER("IWMPSettings::get_volume");
    SIM_CHECK_OUT(volume);
    *volume = player->Volume();
    return S_OK;
}

HRESULT CSimSettings::put_volume(qint32 volume)
{
    SIM_ENTER("IWMPSettings::put_volume");
    player->SetVolume(volume);
    return S_OK;
}

HRESULT CSimSettings::get_mute(bool* mute)
{
    SIM_ENTER("IWMPSettings::get_mute");
    SIM_CHECK_OUT(mute);
    *mute = player->Mute();
    return S_OK;
}

HRESULT CSimSettings::put_mute(bool mute)
{
    SIM_ENTER("IWMPSettings::put_mute");
    player->SetMute(mute);
    return S_OK;
}

HRESULT CSimSettings::getMode(const QString& mode, bool* on)
{
    SIM_ENTER("IWMPSettings::getMode");
    SIM_CHECK_OUT(on);
    return player->Mode(mode, on) ? S_OK : WMP_E_INVALIDARG;
}

HRESULT CSimSettings::setMode(const QString& mode, bool on)
{
    SIM_ENTER("IWMPSettings::setMode");
    return player->SetMode(mode, on) ? S_OK : WMP_E_INVALIDARG;
}

// ---- errors and application ---------------------------------------------------------------------

CSimErrorItem::CSimErrorItem(CSimPlayer* player, HRESULT code, const QString& description)
    : CSimObjectBase(player), m_code(code), m_description(description)
{
}

HRESULT CSimErrorItem::QueryInterface(const IID& iid, void** object)
{
    return QueryOne(static_cast<IWMPErrorItem*>(this), IID_IWMPErrorItem, iid, object);
}

HRESULT CSimErrorItem::get_errorCode(qint32* code)
{
    SIM_ENTER("IWMPErrorItem::get_errorCode");
    SIM_CHECK_OUT(code);
    *code = m_code;
    return S_OK;
}

HRESULT CSimErrorItem::get_errorDescription(QString* description)
{
    SIM_ENTER("IWMPErrorItem::get_errorDescription");
    SIM_CHECK_OUT(description);
    *description = m_description;
    return S_OK;
}

CSimError::CSimError(CSimPlayer* player) : CSimObjectBase(player) {}

HRESULT CSimError::QueryInterface(const IID& iid, void** object)
{
    return QueryOne(static_cast<IWMPError*>(this), IID_IWMPError, iid, object);
}

HRESULT CSimError::clearErrorQueue()
{
    SIM_ENTER("IWMPError::clearErrorQueue");
    player->ClearErrors();
    return S_OK;
}

HRESULT CSimError::get_errorCount(qint32* count)
{
    SIM_ENTER("IWMPError::get_errorCount");
    SIM_CHECK_OUT(count);
    *count = player->Errors().size();
    return S_OK;
}

HRESULT CSimError::get_item(qint32 index, IWMPErrorItem** item)
{
    SIM_ENTER("IWMPError::get_item");
    SIM_CHECK_OUT(item);
    *item = nullptr;
    const auto errors = player->Errors();
    if (index < 0 || index >= errors.size())
        return WMP_E_INVALIDARG;
    *item = new CSimErrorItem(player, errors.at(index).first, errors.at(index).second);
    return S_OK;
}

CSimPlayerApplication::CSimPlayerApplication(CSimPlayer* player) : CSimObjectBase(player) {}

HRESULT CSimPlayerApplication::QueryInterface(const IID& iid, void** object)
{
    return QueryOne(static_cast<IWMPPlayerApplication*>(this), IID_IWMPPlayerApplication, iid, object);
}

HRESULT CSimPlayerApplication::switchToPlayerApplication()
{
    SIM_ENTER("IWMPPlayerApplication::switchToPlayerApplication");
    player->SwitchToPlayerApplication();
    return S_OK;
}

HRESULT CSimPlayerApplication::switchToControl()
{
    SIM_ENTER("IWMPPlayerApplication::switchToControl");
    player->SwitchToControl();
    return S_OK;
}

HRESULT CSimPlayerApplication::get_playerDocked(bool* docked)
{
    SIM_ENTER("IWMPPlayerApplication::get_playerDocked");
    SIM_CHECK_OUT(docked);
    *docked = player->IsRunning();
    return S_OK;
}

HRESULT CSimPlayerApplication::get_hasDisplay(bool* hasDisplay)
{
    SIM_ENTER("IWMPPlayerApplication::get_hasDisplay");
    SIM_CHECK_OUT(hasDisplay);
    *hasDisplay = true;
    return S_OK;
}

// ---- control and connection points --------------------------------------------------------------

CSimControl::CSimControl(CSimPlayer* player, bool remote, CSimPlayer* ownPlayer)
    : CSimObjectBase(player), m_remote(remote), m_ownPlayer(ownPlayer)
{
}

CSimControl::~CSimControl()
{
    if (CSimPlayer* player = Player())
        player->UnregisterSinks(static_cast<const void*>(this));
    delete m_ownPlayer;
}

HRESULT CSimControl::QueryInterface(const IID& iid, void** object)
{
    SIM_CHECK_OUT(object);
    *object = nullptr;
    CSimPlayer* const player = Player();
    auto available = [player](const char* name) {
        return !player || player->IsInterfaceAvailable(QString::fromLatin1(name));
    };
    if (iid == IID_IUnknown)
        return Hand(static_cast<IWMPPlayer4*>(this), object);
    if (iid == IID_IWMPPlayer4 && available("IWMPPlayer4"))
        return Hand(static_cast<IWMPPlayer4*>(this), object);
    if (iid == IID_IConnectionPointContainer && available("IConnectionPointContainer"))
        return Hand(static_cast<IConnectionPointContainer*>(this), object);
    return E_NOINTERFACE;
}

HRESULT CSimControl::close()
{
    SIM_ENTER("IWMPPlayer4::close");
    player->Stop();
    return S_OK;
}

HRESULT CSimControl::get_openState(qint32* state)
{
    SIM_ENTER("IWMPPlayer4::get_openState");
    SIM_CHECK_OUT(state);
    *state = player->CurrentMedia() ? WmpOpenStateMediaOpen : 0;
    return S_OK;
}

HRESULT CSimControl::get_playState(qint32* state)
{
    SIM_ENTER("IWMPPlayer4::get_playState");
    SIM_CHECK_OUT(state);
    *state = player->PlayState();
    return S_OK;
}

HRESULT CSimControl::get_controls(IWMPControls** controls)
{
    SIM_ENTER("IWMPPlayer4::get_controls");
    SIM_CHECK_OUT(controls);
    *controls = player->ReturnsNull("IWMPPlayer4::get_controls") ? nullptr : new CSimControls(player);
    return S_OK;
}

HRESULT CSimControl::get_settings(IWMPSettings** settings)
{
    SIM_ENTER("IWMPPlayer4::get_settings");
    SIM_CHECK_OUT(settings);
    *settings = player->ReturnsNull("IWMPPlayer4::get_settings") ? nullptr : new CSimSettings(player);
    return S_OK;
}

HRESULT CSimControl::get_currentMedia(IWMPMedia** item)
{
    SIM_ENTER("IWMPPlayer4::get_currentMedia");
    SIM_CHECK_OUT(item);
    *item = player->NewMediaObject(player->CurrentMedia());
    return S_OK;
}

HRESULT CSimControl::put_currentMedia(IWMPMedia* item)
{
    SIM_ENTER("IWMPPlayer4::put_currentMedia");
    const CMediaRef media = CSimMedia::RecordOf(item);
    if (!media)
        return WMP_E_INVALIDARG;
    return player->SetCurrentItem(media->id);
}

HRESULT CSimControl::get_mediaCollection(IWMPMediaCollection** collection)
{
    SIM_ENTER("IWMPPlayer4::get_mediaCollection");
    SIM_CHECK_OUT(collection);
    *collection = player->ReturnsNull("IWMPPlayer4::get_mediaCollection") ? nullptr : new CSimMediaCollection(player);
    return S_OK;
}

HRESULT CSimControl::get_playlistCollection(IWMPPlaylistCollection** collection)
{
    SIM_ENTER("IWMPPlayer4::get_playlistCollection");
    SIM_CHECK_OUT(collection);
    *collection =
        player->ReturnsNull("IWMPPlayer4::get_playlistCollection") ? nullptr : new CSimPlaylistCollection(player);
    return S_OK;
}

HRESULT CSimControl::get_versionInfo(QString* version)
{
    SIM_ENTER("IWMPPlayer4::get_versionInfo");
    SIM_CHECK_OUT(version);
    *version = QStringLiteral("12.0.0.0");
    return S_OK;
}

HRESULT CSimControl::get_currentPlaylist(IWMPPlaylist** playlist)
{
    SIM_ENTER("IWMPPlayer4::get_currentPlaylist");
    SIM_CHECK_OUT(playlist);
    *playlist = player->ReturnsNull("IWMPPlayer4::get_currentPlaylist")
                    ? nullptr
                    : player->NewPlaylistObject(player->CurrentPlaylist());
    return S_OK;
}

HRESULT CSimControl::put_currentPlaylist(IWMPPlaylist* playlist)
{
    SIM_ENTER("IWMPPlayer4::put_currentPlaylist");
    const CPlaylistRef record = CSimPlaylist::RecordOf(playlist);
    if (!record)
        return WMP_E_INVALIDARG;
    return player->SetCurrentPlaylist(record);
}

HRESULT CSimControl::get_error(IWMPError** error)
{
    SIM_ENTER("IWMPPlayer4::get_error");
    SIM_CHECK_OUT(error);
    *error = new CSimError(player);
    return S_OK;
}

HRESULT CSimControl::get_status(QString* status)
{
    SIM_ENTER("IWMPPlayer4::get_status");
    SIM_CHECK_OUT(status);
    switch (player->PlayState()) {
    case WmpPlayStatePlaying:
        *status = QStringLiteral("Playing");
        break;
    case WmpPlayStatePaused:
        *status = QStringLiteral("Paused");
        break;
    case WmpPlayStateStopped:
        *status = QStringLiteral("Stopped");
        break;
    case WmpPlayStateReady:
        *status = QStringLiteral("Ready");
        break;
    default:
        status->clear();
        break;
    }
    return S_OK;
}

HRESULT CSimControl::get_isRemote(bool* remote)
{
    SIM_ENTER("IWMPPlayer4::get_isRemote");
    SIM_CHECK_OUT(remote);
    *remote = m_remote;
    return S_OK;
}

HRESULT CSimControl::get_playerApplication(IWMPPlayerApplication** application)
{
    SIM_ENTER("IWMPPlayer4::get_playerApplication");
    SIM_CHECK_OUT(application);
    *application = m_remote ? new CSimPlayerApplication(player) : nullptr;
    return S_OK;
}

HRESULT CSimControl::FindConnectionPoint(const IID& iid, IConnectionPoint** point)
{
    SIM_ENTER("IConnectionPointContainer::FindConnectionPoint");
    SIM_CHECK_OUT(point);
    *point = nullptr;
    const bool typed = iid == IID_IWMPEvents && player->IsInterfaceAvailable(QStringLiteral("IWMPEvents"));
    const bool dispatch = iid == DIID__WMPOCXEvents && player->IsInterfaceAvailable(QStringLiteral("_WMPOCXEvents"));
    if (!typed && !dispatch)
        return WMP_E_NOCONNECTION;
    *point = new CSimConnectionPoint(player, this, iid);
    return S_OK;
}

CSimConnectionPoint::CSimConnectionPoint(CSimPlayer* player, CSimControl* control, const IID& kind)
    : CSimObjectBase(player), m_control(control), m_kind(kind)
{
    static_cast<IWMPPlayer4*>(m_control)->AddRef();
}

CSimConnectionPoint::~CSimConnectionPoint()
{
    static_cast<IWMPPlayer4*>(m_control)->Release();
}

HRESULT CSimConnectionPoint::QueryInterface(const IID& iid, void** object)
{
    return QueryOne(static_cast<IConnectionPoint*>(this), IID_IConnectionPoint, iid, object);
}

HRESULT CSimConnectionPoint::GetConnectionInterface(IID* iid)
{
    SIM_ENTER("IConnectionPoint::GetConnectionInterface");
    SIM_CHECK_OUT(iid);
    *iid = m_kind;
    return S_OK;
}

HRESULT CSimConnectionPoint::Advise(IUnknown* sink, quint32* cookie)
{
    SIM_ENTER("IConnectionPoint::Advise");
    SIM_CHECK_OUT(cookie);
    *cookie = 0;
    if (!sink)
        return E_POINTER;
    void* face = nullptr;
    if (FAILED(sink->QueryInterface(m_kind, &face)) || !face)
        return kCannotConnect;
    // Back to the interface the sink answered with, so that the player can cast down to it again.
    IUnknown* unknown = nullptr;
    if (m_kind == IID_IWMPEvents)
        unknown = static_cast<IWMPEvents*>(face);
    else
        unknown = static_cast<_WMPOCXEvents*>(face);
    *cookie = player->RegisterSink(static_cast<const void*>(m_control), m_kind, unknown);
    return S_OK;
}

HRESULT CSimConnectionPoint::Unadvise(quint32 cookie)
{
    SIM_ENTER("IConnectionPoint::Unadvise");
    return player->UnregisterSink(static_cast<const void*>(m_control), cookie) ? S_OK : WMP_E_NOCONNECTION;
}

} // namespace Wmp
} // namespace Platform
