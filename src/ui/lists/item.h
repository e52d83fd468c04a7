#pragma once
// One row of a music list: what the row stands for (kind, id), its texts, an int-keyed table of extra
// values the row templates draw, and the bits of information still to be fetched for it.
#include <QHash>
#include <QMetaType>
#include <QString>
#include <QVariant>

namespace MusicLists {

// Int keys of the row properties that the templates draw.
enum ItemProperty
{
    PropCount = 0,          // songs of an artist or album, items of a playlist
    PropAlbumCount = 1,     // albums of an artist
    PropArtists = 2,        // artists of an album (QStringList)
    PropOneArtist = 3,      // bool: the row belongs to one artist
    PropTitle = 4,          // title of a special row, caption of an option row (descriptor or text)
    PropValueText = 5,      // value text of an option row
    PropPicture = 6,        // album art (QPixmap or QImage)
    PropSyncState = 7,      // -1 none, 0 some, 1 all; 0x80000000 not selected and file missing
    PropPlaylistInSync = 8, // playlist itself in the sync list: 1, else -1
    PropSyncCount = 9,      // songs of a playlist in the sync list
    PropTemplate = 10,      // option rows: 1 setting row, 4 row with an action button
    PropCheckState = 11,    // 1 checked, -1 unchecked
    PropActionText = 12,    // action button text
    PropActionEnabled = 13  // action button enabled
};

// Row kinds the templates know.
enum ItemKind
{
    KindSong = 0,
    KindAlbum = 1,
    KindArtist = 2,
    KindPlaylist = 3,
    KindShuffleAll = 4,
    KindNewPlaylist = 5,
    KindAllSongs = 6,
    KindAllAlbums = 7,
    KindOption = 8
};

// Option-row templates (property 10).
enum OptionTemplate
{
    TemplateSetting = 1,
    TemplateAction = 4
};

class CItem
{
public:
    CItem() = default;
    CItem(int kind, int id) : m_kind(kind), m_id(id) {}

    // Position in the view's storage; set by the view when the row is appended, -1 before.
    int Index() const { return m_index; }
    void SetIndex(int index) { m_index = index; }

    int Kind() const { return m_kind; }
    void SetKind(int kind) { m_kind = kind; }
    int Id() const { return m_id; }
    void SetId(int id) { m_id = id; }

    // The first and second texts keep a case-folded copy for searching and ordering.
    const QString& Text() const { return m_text; }
    void SetText(const QString& text);
    const QString& SecondText() const { return m_secondText; }
    void SetSecondText(const QString& text);
    const QString& ThirdText() const { return m_thirdText; }
    void SetThirdText(const QString& text) { m_thirdText = text; }
    const QString& SortText() const { return m_sortText; }
    const QString& SecondSortText() const { return m_secondSortText; }

    qint32 Number() const { return m_number; }
    void SetNumber(qint32 number) { m_number = number; }
    const QString& Path() const { return m_path; }
    void SetPath(const QString& path) { m_path = path; }

    // The property table; an absent key gives an invalid variant.
    QVariant GetProperty(int key) const { return m_properties.value(key); }
    bool HasProperty(int key) const { return m_properties.contains(key); }
    void InsertProperty(int key, const QVariant& value) { m_properties.insert(key, value); }
    void RemoveProperty(int key) { m_properties.remove(key); }
    const QHash<int, QVariant>& Properties() const { return m_properties; }

    // Pending-information bits: a set bit means the value is still to be fetched.
    int Flags() const { return m_flags; }
    void SetFlags(int flags) { m_flags = flags; }
    void AddFlags(int bits) { m_flags |= bits; }
    void ClearFlags(int bits) { m_flags &= ~bits; }

private:
    int m_index = -1;
    int m_kind = 0;
    int m_id = 0;
    QString m_text;
    QString m_secondText;
    QString m_thirdText;
    QString m_sortText;
    QString m_secondSortText;
    qint32 m_number = 0;
    QString m_path;
    QHash<int, QVariant> m_properties;
    int m_flags = 0;
};

// Registers CItem for queued connections and QVariant; called by the list view and the filler base,
// safe to call more than once.
void RegisterItemMetaType();

} // namespace MusicLists

Q_DECLARE_METATYPE(MusicLists::CItem)
