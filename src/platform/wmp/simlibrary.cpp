#include "platform/wmp/simlibrary.h"

#include <QRegularExpression>
#include <algorithm>
#include <atomic>

#include "platform/wmp/wmpinterfaces.h"

namespace Platform {
namespace Wmp {

namespace {

struct CAttributeDesc
{
    const char* name;
    bool numeric;
    bool readOnly;
    bool pooled;
};

const CAttributeDesc kAttributes[AttrCount] = {
    {"Title", false, false, false},
    {"Author", false, false, true},
    {"WM/AlbumTitle", false, false, true},
    {"WM/TrackNumber", true, false, false},
    {"SourceURL", false, true, false},
    {"Duration", true, true, false},
    {"ReleaseDateYear", true, true, true},
    {"ReleaseDate", false, false, false},
    {"WM/Genre", false, false, true},
    {"UserCustom1", false, false, false},
    {"UserCustom2", false, false, false},
    {"MediaType", false, true, true},
    {"WM/AlbumArtist", false, false, true},
};

// Ids grow for the whole process, so a list made before a reset never names an item made after it.
quint32 NextId()
{
    static std::atomic<quint32> next{1};
    return next++;
}

const QHash<QString, int>& AttributeTable()
{
    static const QHash<QString, int> table = [] {
        QHash<QString, int> t;
        for (int i = 0; i < AttrCount; ++i)
            t.insert(QString::fromLatin1(kAttributes[i].name).toCaseFolded(), i);
        return t;
    }();
    return table;
}

// The number a text starts with ("3/12" -> 3); 0 when it starts with none.
double LeadingNumber(const QString& text)
{
    bool ok = false;
    const double whole = text.toDouble(&ok);
    if (ok)
        return whole;
    int end = 0;
    const QString trimmed = text.trimmed();
    while (end < trimmed.size() && (trimmed.at(end).isDigit() || trimmed.at(end) == QLatin1Char('.')))
        ++end;
    return trimmed.leftRef(end).toDouble();
}

// The year of a date text: a four-digit number in it, else empty.
QString YearOfDate(const QString& text)
{
    static const QRegularExpression fourDigits(QStringLiteral("(?<!\\d)(\\d{4})(?!\\d)"));
    const QRegularExpressionMatch match = fourDigits.match(text);
    if (match.hasMatch())
        return match.captured(1);
    return QString();
}

void InsertSorted(QVector<quint32>& ids, quint32 id)
{
    if (ids.isEmpty() || ids.last() < id) {
        ids.append(id);
        return;
    }
    auto it = std::lower_bound(ids.begin(), ids.end(), id);
    if (it == ids.end() || *it != id)
        ids.insert(it, id);
}

void RemoveSorted(QVector<quint32>& ids, quint32 id)
{
    auto it = std::lower_bound(ids.begin(), ids.end(), id);
    if (it != ids.end() && *it == id)
        ids.erase(it);
}

// Whether a playlist's items may be changed: 0, or the player's answer.
HRESULT CheckEditable(const CPlaylistRecord& playlist)
{
    if (playlist.removed)
        return E_UNEXPECTED;
    if (playlist.isAuto)
        return WMP_E_ACCESS_DENIED;
    return S_OK;
}

bool Compare(int op, const QString& value, const QString& wanted)
{
    switch (op) {
    case CSimLibrary::OpEquals:
        return value == wanted;
    case CSimLibrary::OpNotEquals:
        return value != wanted;
    case CSimLibrary::OpContains:
        return value.contains(wanted);
    case CSimLibrary::OpNotContains:
        return !value.contains(wanted);
    case CSimLibrary::OpBeginsWith:
        return value.startsWith(wanted);
    default:
        return false;
    }
}

} // namespace

bool CMediaRecord::IsOfType(const QString& mediaType) const
{
    return mediaType.isEmpty() || values[AttrMediaType].compare(mediaType, Qt::CaseInsensitive) == 0;
}

CSimLibrary::CSimLibrary() = default;

CSimLibrary::~CSimLibrary() = default;

void CSimLibrary::Clear()
{
    for (const CMediaRef& media : qAsConst(m_media))
        media->removed = true;
    for (const CPlaylistRef& playlist : qAsConst(m_playlists)) {
        playlist->removed = true;
        playlist->inCollection = false;
    }
    m_media.clear();
    for (auto& index : m_index)
        index.clear();
    m_byType.clear();
    for (auto& count : m_stringCount)
        count.clear();
    m_pool.clear();
    m_playlists.clear();
    m_liveCount = 0;
}

int CSimLibrary::AttributeIndex(const QString& name)
{
    return AttributeTable().value(name.toCaseFolded(), -1);
}

QString CSimLibrary::AttributeName(int attr)
{
    return (attr >= 0 && attr < AttrCount) ? QString::fromLatin1(kAttributes[attr].name) : QString();
}

bool CSimLibrary::IsReadOnly(int attr)
{
    return attr < 0 || attr >= AttrCount || kAttributes[attr].readOnly;
}

qint32 CSimLibrary::AtomOf(int attr)
{
    return (attr >= 0 && attr < AttrCount) ? 100 + attr * 7 : -1;
}

int CSimLibrary::AttributeOfAtom(qint32 atom)
{
    if (atom < 100 || (atom - 100) % 7 != 0)
        return -1;
    const int attr = (atom - 100) / 7;
    return attr < AttrCount ? attr : -1;
}

int CSimLibrary::ParseOperator(const QString& op)
{
    static const char* const names[] = {"Equals", "NotEquals", "Contains", "NotContains", "BeginsWith"};
    for (int i = 0; i < int(sizeof(names) / sizeof(names[0])); ++i) {
        if (op.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int CSimLibrary::IndexSlot(int attr)
{
    switch (attr) {
    case AttrTitle:
        return 0;
    case AttrAuthor:
        return 1;
    case AttrAlbum:
        return 2;
    case AttrSourceUrl:
        return 3;
    default:
        return -1;
    }
}

QString CSimLibrary::Pooled(const QString& value)
{
    if (value.isEmpty())
        return value;
    auto it = m_pool.constFind(value);
    if (it != m_pool.constEnd())
        return it.value();
    m_pool.insert(value, value);
    return value;
}

void CSimLibrary::IndexInsert(int slot, const QString& key, quint32 id)
{
    if (!key.isEmpty())
        InsertSorted(m_index[slot][key], id);
}

void CSimLibrary::IndexRemove(int slot, const QString& key, quint32 id)
{
    if (key.isEmpty())
        return;
    auto it = m_index[slot].find(key);
    if (it == m_index[slot].end())
        return;
    RemoveSorted(it.value(), id);
    if (it.value().isEmpty())
        m_index[slot].erase(it);
}

void CSimLibrary::CountString(int attr, const QString& value, int delta, QString* appeared, QString* vanished)
{
    if (attr > AttrAlbum || value.isEmpty())
        return;
    const QString key = value.toCaseFolded();
    int& count = m_stringCount[attr][key];
    const int before = count;
    count += delta;
    if (before == 0 && count > 0 && appeared)
        *appeared = value;
    if (before > 0 && count <= 0) {
        m_stringCount[attr].remove(key);
        if (vanished)
            *vanished = value;
    }
}

void CSimLibrary::StoreValue(CMediaRecord& media, int attr, const QString& value)
{
    const int slot = IndexSlot(attr);
    if (slot >= 0 && !media.removed)
        IndexRemove(slot, media.keys[slot], media.id);
    media.values[attr] = kAttributes[attr].pooled ? Pooled(value) : value;
    if (slot >= 0) {
        media.keys[slot] = value.toCaseFolded();
        if (!media.removed)
            IndexInsert(slot, media.keys[slot], media.id);
    }
    if (attr == AttrReleaseDate)
        media.values[AttrReleaseDateYear] = Pooled(YearOfDate(value));
}

CMediaRef CSimLibrary::AddMedia(const QString& mediaType, const QHash<QString, QString>& values, bool notify)
{
    CMediaRef media(new CMediaRecord);
    media->id = NextId();
    media->values[AttrMediaType] = Pooled(mediaType);
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const int attr = AttributeIndex(it.key());
        if (attr >= 0 && attr != AttrMediaType)
            StoreValue(*media, attr, it.value());
    }
    m_media.insert(media->id, media);
    InsertSorted(m_byType[mediaType.toCaseFolded()], media->id);
    ++m_liveCount;

    QString appeared[3];
    if (media->IsOfType(QStringLiteral("audio"))) {
        for (int attr = AttrTitle; attr <= AttrAlbum; ++attr)
            CountString(attr, media->values[attr], 1, &appeared[attr], nullptr);
    }
    if (notify && m_observer) {
        m_observer->OnMediaAdded(media);
        for (int attr = AttrTitle; attr <= AttrAlbum; ++attr) {
            if (!appeared[attr].isEmpty())
                m_observer->OnAttributeString(attr, QString(), appeared[attr]);
        }
    }
    return media;
}

CMediaRef CSimLibrary::FindById(quint32 id) const
{
    return m_media.value(id);
}

CMediaRef CSimLibrary::FindByPath(const QString& path) const
{
    const QVector<quint32> ids = m_index[3].value(path.toCaseFolded());
    for (quint32 id : ids) {
        const CMediaRef media = m_media.value(id);
        if (media && media->values[AttrSourceUrl] == path)
            return media;
    }
    return CMediaRef();
}

HRESULT CSimLibrary::SetValue(const CMediaRef& media, int attr, const QString& value, bool raw)
{
    if (!media || media->removed)
        return E_UNEXPECTED;
    if (attr < 0 || attr >= AttrCount)
        return WMP_E_INVALIDARG;
    if (!raw && IsReadOnly(attr))
        return WMP_E_ACCESS_DENIED;
    const QString old = media->values[attr];
    if (old == value)
        return S_OK;

    QString appeared, vanished;
    if (media->IsOfType(QStringLiteral("audio"))) {
        CountString(attr, old, -1, nullptr, &vanished);
        CountString(attr, value, 1, &appeared, nullptr);
    }
    if (attr == AttrMediaType) {
        RemoveSorted(m_byType[old.toCaseFolded()], media->id);
        InsertSorted(m_byType[value.toCaseFolded()], media->id);
    }
    StoreValue(*media, attr, value);

    // A playlist and its library item share one name.
    if (attr == AttrTitle) {
        const CPlaylistRef playlist = PlaylistOfMedia(media->id);
        if (playlist) {
            playlist->name = value;
            if (!raw && m_observer)
                m_observer->OnPlaylistChanged(playlist, WmpPlaylistChangeName);
        }
    }
    if (raw || !m_observer)
        return S_OK;
    m_observer->OnMediaChanged(media);
    if (!appeared.isEmpty() && !vanished.isEmpty()) {
        m_observer->OnAttributeString(attr, vanished, appeared);
    } else {
        if (!appeared.isEmpty())
            m_observer->OnAttributeString(attr, QString(), appeared);
        if (!vanished.isEmpty())
            m_observer->OnAttributeString(attr, vanished, QString());
    }
    return S_OK;
}

void CSimLibrary::RemoveMedia(const CMediaRef& media)
{
    if (!media || media->removed)
        return;
    const CPlaylistRef own = PlaylistOfMedia(media->id);
    if (own) {
        RemovePlaylist(own);
        return;
    }
    for (const CPlaylistRef& playlist : qAsConst(m_playlists)) {
        if (playlist->items.removeAll(media->id) > 0 && m_observer)
            m_observer->OnPlaylistChanged(playlist, WmpPlaylistChangeDelete);
    }
    Unlist(*media);
    QString vanished[3];
    if (media->IsOfType(QStringLiteral("audio"))) {
        for (int attr = AttrTitle; attr <= AttrAlbum; ++attr)
            CountString(attr, media->values[attr], -1, nullptr, &vanished[attr]);
    }
    if (m_observer) {
        m_observer->OnMediaRemoved(media);
        for (int attr = AttrTitle; attr <= AttrAlbum; ++attr) {
            if (!vanished[attr].isEmpty())
                m_observer->OnAttributeString(attr, vanished[attr], QString());
        }
    }
}

void CSimLibrary::Unlist(CMediaRecord& media)
{
    for (int slot = 0; slot < 4; ++slot)
        IndexRemove(slot, media.keys[slot], media.id);
    RemoveSorted(m_byType[media.values[AttrMediaType].toCaseFolded()], media.id);
    media.removed = true;
    --m_liveCount;
}

int CSimLibrary::AudioCount() const
{
    return m_byType.value(QStringLiteral("audio")).size();
}

CPlaylistRef CSimLibrary::NewPlaylist(const QString& name, bool isAuto, bool notify)
{
    CPlaylistRef playlist(new CPlaylistRecord);
    playlist->id = NextId();
    playlist->name = name;
    playlist->isAuto = isAuto;
    playlist->inCollection = true;
    QHash<QString, QString> values;
    values.insert(QStringLiteral("Title"), name);
    playlist->mediaId = AddMedia(QStringLiteral("playlist"), values, false)->id;
    m_playlists.append(playlist);
    if (notify && m_observer)
        m_observer->OnPlaylistAdded(playlist);
    return playlist;
}

CPlaylistRef CSimLibrary::MakeTransient(const QString& name, const QVector<quint32>& items)
{
    CPlaylistRef playlist(new CPlaylistRecord);
    playlist->id = NextId();
    playlist->name = name;
    playlist->items = items;
    return playlist;
}

void CSimLibrary::RemovePlaylist(const CPlaylistRef& playlist)
{
    if (!playlist || !playlist->inCollection)
        return;
    playlist->inCollection = false;
    playlist->removed = true;
    m_playlists.removeAll(playlist);
    const CMediaRef media = m_media.value(playlist->mediaId);
    if (media && !media->removed)
        Unlist(*media);
    if (m_observer)
        m_observer->OnPlaylistRemoved(playlist);
}

void CSimLibrary::RenamePlaylist(const CPlaylistRef& playlist, const QString& name)
{
    playlist->name = name;
    const CMediaRef media = m_media.value(playlist->mediaId);
    if (media && !media->removed)
        StoreValue(*media, AttrTitle, name);
    if (playlist->inCollection && m_observer)
        m_observer->OnPlaylistChanged(playlist, WmpPlaylistChangeName);
}

HRESULT CSimLibrary::InsertItem(const CPlaylistRef& playlist, int index, quint32 mediaId)
{
    const HRESULT editable = CheckEditable(*playlist);
    if (FAILED(editable))
        return editable;
    const CMediaRef media = m_media.value(mediaId);
    if (!media || media->removed || index < 0 || index > playlist->items.size())
        return WMP_E_INVALIDARG;
    const bool append = index == playlist->items.size();
    playlist->items.insert(index, mediaId);
    if (playlist->inCollection && m_observer)
        m_observer->OnPlaylistChanged(playlist, append ? WmpPlaylistChangeAppend : WmpPlaylistChangeInsert);
    return S_OK;
}

HRESULT CSimLibrary::RemoveItem(const CPlaylistRef& playlist, quint32 mediaId)
{
    const HRESULT editable = CheckEditable(*playlist);
    if (FAILED(editable))
        return editable;
    const int index = playlist->items.indexOf(mediaId);
    if (index < 0)
        return WMP_E_INVALIDARG;
    playlist->items.remove(index);
    if (playlist->inCollection && m_observer)
        m_observer->OnPlaylistChanged(playlist, WmpPlaylistChangeDelete);
    return S_OK;
}

HRESULT CSimLibrary::MoveItem(const CPlaylistRef& playlist, int from, int to)
{
    const HRESULT editable = CheckEditable(*playlist);
    if (FAILED(editable))
        return editable;
    const int count = playlist->items.size();
    if (from < 0 || from >= count || to < 0 || to >= count)
        return WMP_E_INVALIDARG;
    playlist->items.move(from, to);
    if (playlist->inCollection && m_observer)
        m_observer->OnPlaylistChanged(playlist, WmpPlaylistChangeMove);
    return S_OK;
}

void CSimLibrary::ClearPlaylist(const CPlaylistRef& playlist)
{
    playlist->items.clear();
    if (playlist->inCollection && m_observer)
        m_observer->OnPlaylistChanged(playlist, WmpPlaylistChangeClear);
}

QVector<CPlaylistRef> CSimLibrary::PlaylistsByName(const QString& name) const
{
    QVector<CPlaylistRef> found;
    for (const CPlaylistRef& playlist : m_playlists) {
        if (playlist->name.compare(name, Qt::CaseInsensitive) == 0)
            found.append(playlist);
    }
    return found;
}

CPlaylistRef CSimLibrary::PlaylistOfMedia(quint32 mediaId) const
{
    const CMediaRef media = m_media.value(mediaId);
    if (!media || media->values[AttrMediaType] != QLatin1String("playlist"))
        return CPlaylistRef();
    for (const CPlaylistRef& playlist : m_playlists) {
        if (playlist->mediaId == mediaId)
            return playlist;
    }
    return CPlaylistRef();
}

QVector<quint32> CSimLibrary::Candidates(const QVector<CCondition>& group, const QString& mediaType) const
{
    const QVector<quint32>* best = nullptr;
    static const QVector<quint32> none;
    for (const CCondition& condition : group) {
        const int slot = IndexSlot(condition.attr);
        if (condition.op != OpEquals || slot < 0 || condition.value.isEmpty())
            continue;
        auto it = m_index[slot].constFind(condition.value);
        if (it == m_index[slot].constEnd())
            return none;
        if (!best || it.value().size() < best->size())
            best = &it.value();
    }
    if (best)
        return *best;
    if (!mediaType.isEmpty())
        return m_byType.value(mediaType.toCaseFolded());
    QVector<quint32> all;
    for (const QVector<quint32>& ids : m_byType)
        all += ids;
    std::sort(all.begin(), all.end());
    return all;
}

bool CSimLibrary::Matches(const CMediaRecord& media, const QVector<CCondition>& group, const QString& mediaType) const
{
    if (media.removed || !media.IsOfType(mediaType))
        return false;
    for (const CCondition& condition : group) {
        QString value;
        if (condition.attr >= 0) {
            const int slot = IndexSlot(condition.attr);
            value = slot >= 0 ? media.keys[slot] : media.values[condition.attr].toCaseFolded();
        }
        if (!Compare(condition.op, value, condition.value))
            return false;
    }
    return true;
}

QVector<quint32> CSimLibrary::Select(const CConditionGroups& groups, const QString& mediaType, const QString& sort,
                                     bool ascending) const
{
    CConditionGroups effective = groups;
    if (effective.isEmpty())
        effective.append(QVector<CCondition>());
    QVector<quint32> result;
    for (const QVector<CCondition>& group : qAsConst(effective)) {
        QVector<quint32> matched;
        const QVector<quint32> candidates = Candidates(group, mediaType);
        matched.reserve(candidates.size());
        for (quint32 id : candidates) {
            const CMediaRef media = m_media.value(id);
            if (media && Matches(*media, group, mediaType))
                matched.append(id);
        }
        if (result.isEmpty()) {
            result = matched;
        } else {
            QVector<quint32> merged;
            std::set_union(result.begin(), result.end(), matched.begin(), matched.end(), std::back_inserter(merged));
            result = merged;
        }
    }

    QVector<int> keys;
    for (const QString& name : sort.split(QLatin1Char(','), Qt::SkipEmptyParts))
        keys.append(AttributeIndex(name.trimmed()));
    if (keys.isEmpty() || result.size() < 2)
        return result;

    // Keys are computed once per item; the comparison then only touches prepared values.
    struct CRow
    {
        quint32 id;
        QVector<QString> texts;
        QVector<double> numbers;
    };
    QVector<CRow> rows;
    rows.reserve(result.size());
    for (quint32 id : qAsConst(result)) {
        const CMediaRecord& media = *m_media.value(id);
        CRow row;
        row.id = id;
        row.texts.resize(keys.size());
        row.numbers.resize(keys.size());
        for (int k = 0; k < keys.size(); ++k) {
            const int attr = keys.at(k);
            if (attr < 0)
                continue;
            if (kAttributes[attr].numeric) {
                row.numbers[k] = LeadingNumber(media.values[attr]);
            } else {
                const int slot = IndexSlot(attr);
                row.texts[k] = slot >= 0 ? media.keys[slot] : media.values[attr].toCaseFolded();
            }
        }
        rows.append(row);
    }
    std::stable_sort(rows.begin(), rows.end(), [&keys, ascending](const CRow& a, const CRow& b) {
        for (int k = 0; k < keys.size(); ++k) {
            const int attr = keys.at(k);
            if (attr < 0)
                continue;
            int c = 0;
            if (kAttributes[attr].numeric)
                c = a.numbers.at(k) < b.numbers.at(k) ? -1 : (b.numbers.at(k) < a.numbers.at(k) ? 1 : 0);
            else
                c = a.texts.at(k).compare(b.texts.at(k));
            if (c != 0)
                return ascending ? c < 0 : c > 0;
        }
        return false;
    });
    for (int i = 0; i < rows.size(); ++i)
        result[i] = rows.at(i).id;
    return result;
}

QStringList CSimLibrary::SelectStrings(int attr, const CConditionGroups& groups, const QString& mediaType,
                                       const QString& sort, bool ascending) const
{
    if (attr < 0 || attr >= AttrCount)
        return QStringList();
    struct CValue
    {
        QString text;
        QString key;
        quint32 first;
    };
    QVector<CValue> values;

    bool unconditioned = true;
    for (const QVector<CCondition>& group : groups)
        unconditioned = unconditioned && group.isEmpty();
    const int slot = IndexSlot(attr);
    if (unconditioned && slot >= 0) {
        // Whole-library names come straight from the index: one entry per distinct value.
        for (auto it = m_index[slot].constBegin(); it != m_index[slot].constEnd(); ++it) {
            for (quint32 id : it.value()) {
                const CMediaRef media = m_media.value(id);
                if (media && !media->removed && media->IsOfType(mediaType)) {
                    values.append({media->values[attr], it.key(), id});
                    break;
                }
            }
        }
        std::sort(values.begin(), values.end(), [](const CValue& a, const CValue& b) { return a.first < b.first; });
    } else {
        QHash<QString, bool> seen;
        for (quint32 id : Select(groups, mediaType, QString(), true)) {
            const CMediaRecord& media = *m_media.value(id);
            const QString& text = media.values[attr];
            if (text.isEmpty())
                continue;
            const QString key = slot >= 0 ? media.keys[slot] : text.toCaseFolded();
            if (seen.contains(key))
                continue;
            seen.insert(key, true);
            values.append({text, key, id});
        }
    }

    if (!sort.trimmed().isEmpty()) {
        const bool numeric = kAttributes[attr].numeric;
        std::stable_sort(values.begin(), values.end(), [numeric, ascending](const CValue& a, const CValue& b) {
            int c = 0;
            if (numeric) {
                const double x = LeadingNumber(a.text), y = LeadingNumber(b.text);
                c = x < y ? -1 : (y < x ? 1 : 0);
            } else {
                c = a.key.compare(b.key);
            }
            return ascending ? c < 0 : c > 0;
        });
    }
    QStringList texts;
    texts.reserve(values.size());
    for (const CValue& value : qAsConst(values))
        texts.append(value.text);
    return texts;
}

} // namespace Wmp
} // namespace Platform
