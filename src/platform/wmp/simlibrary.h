#pragma once
// The simulated player's library: media items and playlists held in memory, with indexes on title,
// artist, album and file path so that look-ups and filtered queries never walk the whole library.
#include <QHash>
#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QVector>

#include "platform/com/combase.h"

namespace Platform {
namespace Wmp {

// The attributes an item carries; everything else reads as empty and cannot be written.
enum SimAttribute : int
{
    AttrTitle = 0,
    AttrAuthor,
    AttrAlbum,
    AttrTrackNumber,
    AttrSourceUrl,
    AttrDuration,
    AttrReleaseDateYear,
    AttrReleaseDate,
    AttrGenre,
    AttrUserCustom1,
    AttrUserCustom2,
    AttrMediaType,
    AttrAlbumArtist,
    AttrCount
};

// One library item (a song, or the library entry of a playlist).
class CMediaRecord
{
public:
    quint32 id = 0;
    bool removed = false;
    QString values[AttrCount];
    // Case-folded values of the indexed attributes (title, artist, album, file path).
    QString keys[4];

    const QString& Value(int attr) const { return values[attr]; }
    bool IsOfType(const QString& mediaType) const;
};
typedef QSharedPointer<CMediaRecord> CMediaRef;

// A playlist: one of the library's collection, or a transient list (a query result, a one-item list).
class CPlaylistRecord
{
public:
    quint32 id = 0;
    QString name;
    QVector<quint32> items;
    bool isAuto = false;
    bool inCollection = false;
    bool removed = false;
    quint32 mediaId = 0;  // the playlist's own library item (collection playlists only)
};
typedef QSharedPointer<CPlaylistRecord> CPlaylistRef;

class CSimLibrary
{
public:
    enum Operator : int
    {
        OpEquals = 0,
        OpNotEquals,
        OpContains,
        OpNotContains,
        OpBeginsWith,
    };

    struct CCondition
    {
        int attr = -1;  // -1: an attribute no item carries (always reads as empty)
        int op = OpEquals;
        QString value;  // case-folded
    };
    // Conditions of a group all hold; any group may match.
    typedef QVector<QVector<CCondition>> CConditionGroups;

    // Told of every change so that the player can raise its events.
    class CObserver
    {
    public:
        virtual ~CObserver() = default;
        virtual void OnMediaAdded(const CMediaRef& media) = 0;
        virtual void OnMediaRemoved(const CMediaRef& media) = 0;
        virtual void OnMediaChanged(const CMediaRef& media) = 0;
        // A value of "Title", "Author" or "WM/AlbumTitle" appeared in or vanished from the audio items.
        virtual void OnAttributeString(int attr, const QString& oldValue, const QString& newValue) = 0;
        virtual void OnPlaylistChanged(const CPlaylistRef& playlist, int change) = 0;
        virtual void OnPlaylistAdded(const CPlaylistRef& playlist) = 0;
        virtual void OnPlaylistRemoved(const CPlaylistRef& playlist) = 0;
    };

    CSimLibrary();
    ~CSimLibrary();

    void SetObserver(CObserver* observer) { m_observer = observer; }
    // Drops every item and playlist.
    void Clear();

    // Attribute names and atoms.
    static int AttributeIndex(const QString& name);  // -1 when unknown (no regard to case)
    static QString AttributeName(int attr);
    static bool IsReadOnly(int attr);
    static qint32 AtomOf(int attr);  // deliberately not the attribute number
    static int AttributeOfAtom(qint32 atom);
    static int ParseOperator(const QString& op);  // -1 when unknown

    // ---- items ----
    // Adds an item of mediaType with the given values (names as AttributeName); notify raises events.
    CMediaRef AddMedia(const QString& mediaType, const QHash<QString, QString>& values, bool notify = true);
    CMediaRef FindById(quint32 id) const;  // also removed items still referenced by a list
    // The audio item of a file path (exact), null when none.
    CMediaRef FindByPath(const QString& path) const;
    // Writes a value (read-only attributes included when raw is set); raw changes raise no events.
    HRESULT SetValue(const CMediaRef& media, int attr, const QString& value, bool raw = false);
    void RemoveMedia(const CMediaRef& media);
    int MediaCount() const { return m_liveCount; }
    int AudioCount() const;

    // ---- playlists ----
    CPlaylistRef NewPlaylist(const QString& name, bool isAuto, bool notify = true);
    CPlaylistRef MakeTransient(const QString& name, const QVector<quint32>& items);
    void RemovePlaylist(const CPlaylistRef& playlist);
    void RenamePlaylist(const CPlaylistRef& playlist, const QString& name);
    HRESULT InsertItem(const CPlaylistRef& playlist, int index, quint32 mediaId);
    HRESULT RemoveItem(const CPlaylistRef& playlist, quint32 mediaId);
    HRESULT MoveItem(const CPlaylistRef& playlist, int from, int to);
    void ClearPlaylist(const CPlaylistRef& playlist);
    // Collection playlists, in creation order.
    QVector<CPlaylistRef> Playlists() const { return m_playlists; }
    QVector<CPlaylistRef> PlaylistsByName(const QString& name) const;
    CPlaylistRef PlaylistOfMedia(quint32 mediaId) const;

    // ---- queries ----
    // Ids of the matching items of mediaType (empty = any), sorted by the comma-separated attributes
    // (stable; numbers as numbers; no regard to case), library order when sort is empty.
    QVector<quint32> Select(const CConditionGroups& groups, const QString& mediaType, const QString& sort,
                            bool ascending) const;
    // Distinct (no regard to case) non-empty values of attr among the matching items, sorted when sort
    // names an attribute, else in order of first appearance.
    QStringList SelectStrings(int attr, const CConditionGroups& groups, const QString& mediaType,
                              const QString& sort, bool ascending) const;

private:
    static int IndexSlot(int attr);  // 0..3 for the indexed attributes, else -1
    void IndexInsert(int slot, const QString& key, quint32 id);
    void IndexRemove(int slot, const QString& key, quint32 id);
    void CountString(int attr, const QString& value, int delta, QString* appeared, QString* vanished);
    void StoreValue(CMediaRecord& media, int attr, const QString& value);
    // Takes a live item out of the indexes and the count and marks it removed.
    void Unlist(CMediaRecord& media);
    QVector<quint32> Candidates(const QVector<CCondition>& group, const QString& mediaType) const;
    bool Matches(const CMediaRecord& media, const QVector<CCondition>& group, const QString& mediaType) const;
    QString Pooled(const QString& value);

    CObserver* m_observer = nullptr;
    QHash<quint32, CMediaRef> m_media;          // live and removed items still named by a list
    QHash<QString, QVector<quint32>> m_index[4]; // folded value -> ids (ascending)
    QHash<QString, QVector<quint32>> m_byType;   // media type -> ids (ascending)
    QHash<QString, int> m_stringCount[3];        // folded value -> number of audio items (title, artist, album)
    QHash<QString, QString> m_pool;              // shares the text of repeated artist, album, genre values
    QVector<CPlaylistRef> m_playlists;
    int m_liveCount = 0;
};

} // namespace Wmp
} // namespace Platform
