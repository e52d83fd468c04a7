#pragma once
// The interfaces through which a player client hands out its library: reference-counted objects
// whose first three operations are those of IUnknown. Objects with content report through their
// WhenEvent(int) (PlayerClient::Event*), to which IPlayerClientNotify subscribes an observer.
#include <QList>
#include <QString>

#include "core/mediametadata.h"
#include "platform/com/combase.h"
#include "platform/wmp/wmpinterfaces.h"
#include "players/iunknownbase.h"
#include "players/playerclienttypes.h"

class QObject;
class CPlayerClientBase;
class CPlayerClientAddingFilesCollection;
class CPlayerClientOperationObserver;
struct IPlayerClientSong;
struct IPlayerClientPlaylist;
struct IPlayerClientOperation;

constexpr IID IID_IPlayerClientNotify(0x3AFCDA56u, 0x5894, 0x4B35, 0xB2, 0x4D, 0xE2, 0x1C, 0x10, 0x4E, 0x72, 0x90);
constexpr IID IID_IPlayerClientCollectionBase(0x116C93AFu, 0x9151, 0x47E1, 0x84, 0x5F, 0x38, 0x08, 0x9E, 0x28, 0xDA, 0xA8);
constexpr IID IID_IPlayerClientCollectionSong(0x560AE446u, 0x4989, 0x4B45, 0xB4, 0x38, 0x4D, 0xAD, 0x11, 0xAA, 0x4E, 0xA9);
constexpr IID IID_IPlayerClientCollectionString(0xDFA13AB8u, 0x1197, 0x46E7, 0xB7, 0x95, 0x3E, 0x16, 0x80, 0x99, 0x5A, 0x1E);
constexpr IID IID_IPlayerClientCollectionPlaylist(0xD223B22Fu, 0x392F, 0x481A, 0xB4, 0xC6, 0x1B, 0x4C, 0x85, 0x1D, 0x24, 0x02);
constexpr IID IID_IPlayerClientPlaylist(0x42C9D8DCu, 0xA6B2, 0x4D16, 0xB5, 0xBA, 0x58, 0x52, 0x6F, 0xC7, 0xF7, 0xB3);
constexpr IID IID_IPlayerClientPlaylistSync(0xB6405FAFu, 0x044A, 0x479E, 0x94, 0x7C, 0x80, 0xBC, 0x3B, 0xF7, 0xBD, 0x99);
constexpr IID IID_IPlayerClientSong(0x5DC26EF7u, 0x07B3, 0x4C1F, 0x8B, 0xBF, 0xBF, 0xA5, 0x6D, 0xF7, 0x41, 0x6B);
constexpr IID IID_IPlayerClientOperation(0x25F206D3u, 0xF600, 0x41C3, 0xA3, 0x61, 0x75, 0x84, 0x8E, 0xE0, 0x6E, 0x80);
constexpr IID IID_IPlayerClientWmpPlaylistPriv(0x7C92C787u, 0xA35C, 0x4C96, 0x99, 0x8C, 0xE9, 0xAB, 0xDA, 0x00, 0xD8, 0x58);
constexpr IID IID_IPlayerClientWmpPlaylistSyncPriv(0x48E19B7Eu, 0x916E, 0x4F96, 0xA0, 0xAA, 0x9A, 0xA6, 0x25, 0x58, 0x03, 0x15);
constexpr IID IID_IPlayerClientWmpSongPriv(0x9C6C6BACu, 0x6C6E, 0x462D, 0xAE, 0x19, 0x24, 0x7E, 0xA8, 0xF5, 0x23, 0x6E);
constexpr IID IID_IPlayerClientWmpCollectionPlaylistPriv(0x355DA43Eu, 0x6E34, 0x4BB5, 0xA8, 0x50, 0x05, 0x43, 0xAC, 0x60, 0x17, 0x29);

// Subscription of an observer to the object's WhenEvent(int).
struct IPlayerClientNotify : IUnknown
{
    // slot as SLOT() spells it ("1OnCollectionEvent( int )").
    virtual HRESULT Subscribe(QObject* receiver, const char* slot) = 0;
    virtual HRESULT Unsubscribe(QObject* receiver) = 0;
    virtual CPlayerClientBase* GetOwner() = 0;
};

// A collection of the player's library objects.
struct IPlayerClientCollectionBase : IPlayerClientNotify
{
    virtual int GetKind() = 0;
    virtual HRESULT Refresh() = 0;
    virtual int GetItemCount() = 0;
};

struct IPlayerClientCollectionSong : IPlayerClientCollectionBase
{
    // A new reference in item.
    virtual HRESULT GetItem(int index, IPlayerClientSong** item) = 0;
};

// Names (artists, albums).
struct IPlayerClientCollectionString : IPlayerClientCollectionBase
{
    virtual HRESULT GetItem(int index, QString& item) = 0;
};

// The user's playlists.
struct IPlayerClientCollectionPlaylist : IPlayerClientCollectionBase
{
    virtual HRESULT GetItem(int index, IPlayerClientPlaylist** item) = 0;
    // 0 when a playlist of that name exists, positive when none does, negative on failure.
    virtual HRESULT HasItemWithName(const QString& name) = 0;
    virtual HRESULT CreateItem(const QString& name, IPlayerClientPlaylist** item) = 0;
    virtual HRESULT RemoveAllItemsWithName(const QString& name) = 0;
    // Takes every playlist out of the sync selection.
    virtual HRESULT RemoveAllFromSync() = 0;
};

// One playlist, or a list of songs (library, artist, album...). GetFlags tells which operations it takes
// (PlayerClient::Playlist*).
struct IPlayerClientPlaylist : IPlayerClientCollectionSong
{
    virtual int GetFlags() = 0;
    virtual HRESULT GetName(QString& name) = 0;
    // A text that stays valid as long as the object.
    virtual const QString& GetId() = 0;
    virtual HRESULT GetFiles(QList<CFileMetadata>& files) = 0;
    virtual HRESULT Rename(const QString& name) = 0;
    virtual HRESULT Delete() = 0;
    // Starts adding the files to the library and this list; progress and completion go to observer.
    virtual HRESULT AddFiles(CPlayerClientAddingFilesCollection* files, CPlayerClientOperationObserver* observer,
                             IPlayerClientOperation** operation) = 0;
    virtual HRESULT AddItem(IPlayerClientSong* song) = 0;
    virtual HRESULT RemoveItem(IPlayerClientSong* song) = 0;
    virtual HRESULT Show() = 0;
    virtual HRESULT Play() = 0;
    // 0 for the same playlist, 1 otherwise.
    virtual HRESULT IsEqualTo(IPlayerClientPlaylist* other) = 0;
    // 0 when the playlist is selected for device sync, non-zero otherwise.
    virtual HRESULT IsInSync() = 0;
    virtual HRESULT SetInSync(bool inSync) = 0;

    // The name, empty on failure.
    QString GetPlaylistName()
    {
        QString name;
        return SUCCEEDED(GetName(name)) ? name : QString();
    }
};

// The songs and playlists selected for device sync (kind 5). AddItem and RemoveItem select and unselect.
struct IPlayerClientPlaylistSync : IPlayerClientPlaylist
{
    // -1 none, 0 some, 1 all of those songs are selected (PlayerClient::SyncStat*).
    virtual HRESULT GetArtistStat(const QString& artist, int* result) = 0;
    virtual HRESULT GetAlbumStat(const QString& album, int* result) = 0;
    virtual HRESULT GetArtistAlbumStat(const QString& artist, const QString& album, int* result) = 0;
    virtual HRESULT GetLibraryStat(int* result) = 0;
    // 0 selected, 1 not selected (or a song of another player), negative on failure.
    virtual HRESULT HasItem(IPlayerClientSong* song) = 0;
    // Empties the selection.
    virtual HRESULT Clear() = 0;
    // A fixed copy of the selection for one operation.
    virtual HRESULT GetSnapshot(IPlayerClientPlaylist** snapshot) = 0;

    HRESULT GetArtistSyncStat(const QString& artist, int* result) { return GetArtistStat(artist, result); }
};

// One song of the player's library.
struct IPlayerClientSong : IUnknown
{
    virtual CPlayerClientBase* GetOwner() = 0;
    // 0x80400004 when the song's file is missing.
    virtual HRESULT GetMetadata(CSongMetadata* metadata) = 0;
    virtual HRESULT GetMetadata(CFileMetadata* metadata) = 0;
    virtual HRESULT SetMetadata(const CSongMetadata* metadata) = 0;
    virtual HRESULT SetMetadata(const CFileMetadata* metadata) = 0;
    // Plays the song within the playlist.
    virtual HRESULT Play(IPlayerClientPlaylist* playlist) = 0;
    virtual HRESULT Play() = 0;
    virtual HRESULT GetDuration(double* seconds) = 0;
    virtual HRESULT IsEqualTo(IPlayerClientSong* other) = 0;
};

// A running player operation (adding files).
struct IPlayerClientOperation : IUnknown
{
    // Stops with 0x80400011.
    virtual HRESULT Cancel() = 0;
    // Clears the stored result unless keep, then stops the running operation with code.
    virtual HRESULT Stop(HRESULT code, bool keep) = 0;
    // A copy of the songs added so far.
    virtual HRESULT GetAddedSongs(QList<CIUnknownPtr<IPlayerClientSong>>& songs) = 0;
    virtual HRESULT GetStatus(CPlayerClientOperationReport& report) = 0;
};

// ---- the Windows Media Player objects' own faces --------------------------------------------------

struct IPlayerClientWmpPlaylistPriv : IPlayerClientPlaylist
{
    virtual HRESULT Load() = 0;
    virtual HRESULT GetRawInterface(IWMPPlaylist** playlist) = 0;
    virtual HRESULT GetMediaItem(IWMPMedia** media) = 0;
};

struct IPlayerClientWmpPlaylistSyncPriv : IPlayerClientPlaylistSync
{
    virtual HRESULT GetRawInterface(IWMPPlaylist** playlist) = 0;
    virtual HRESULT Invalidate() = 0;
};

struct IPlayerClientWmpSongPriv : IPlayerClientSong
{
    virtual HRESULT GetRawInterface(IWMPMedia** media) = 0;
};

struct IPlayerClientWmpCollectionPlaylistPriv : IPlayerClientCollectionPlaylist
{
    virtual HRESULT CollectionChanged() = 0;
};
