#pragma once
// Numbers and small records shared by the player clients, their library objects and their callers.
#include <QList>
#include <QMetaType>
#include <QStringList>

#include "platform/com/combase.h"

namespace PlayerClient {

// Player ids (also the player kinds).
enum : int
{
    KindLocalFiles = 1,
    KindWmp = 2,
    KindITunes = 3,
};

// Running states of a client.
enum : int
{
    StateNotRunning = 0,
    StateRunning = 1,
    StateStarting = 2,
};

// Capability bits of a client.
enum : quint32
{
    CapabilitiesITunes = 0x0F,
    CapabilitiesWmp = 0x17,
    CapabilityWmpClient = 0x10,
};

// Button numbers of the transport operations.
enum : int
{
    ButtonPrevious = 1,
    ButtonPlay = 2,
    ButtonPause = 3,
    ButtonNext = 4,
    ButtonMute = 5,
    ButtonRestart = 6,
    ButtonShuffle = 7,
    ButtonRepeatOff = 8,
    ButtonRepeatAll = 9,
    ButtonRepeatOne = 10,
};

// Bits of a button state word.
enum : int
{
    ButtonEnabled = 0x1,
    ButtonChecked = 0x2,
};

// WhenEvent(int) of the library objects.
enum : int
{
    EventUpdated = 0,   // content reloaded: observers refill
    EventChanged = 1,   // content changed: observers ask Refresh
    EventShutdown = 2,  // the object is no longer valid
    EventSyncList = 3,  // the sync list's further event
};

// Kinds of the library objects.
enum : int
{
    CollectionLibrary = 0,
    CollectionArtistSongs = 1,
    CollectionAlbumSongs = 2,
    CollectionArtistAlbumSongs = 3,
    CollectionPlaylist = 4,
    CollectionSyncList = 5,
    CollectionOneSong = 6,
    CollectionArtists = 1,  // string collections
    CollectionAlbums = 2,
    CollectionPlaylists = 7,
};

// Capability flags of a playlist (GetFlags).
enum : int
{
    PlaylistPlayWithin = 0x1,
    PlaylistAddItem = 0x2,
    PlaylistRemoveItem = 0x4,
    PlaylistRename = 0x8,
    PlaylistDelete = 0x10,
    PlaylistAddFiles = 0x20,
    PlaylistSync = 0x40,
};

// Masks of the artist and album statistics.
enum : int
{
    InfoSongCount = 0x1,
    InfoSecondPart = 0x2,  // album count of an artist, artists of an album
};

// Selection statistics of the sync list.
enum : int
{
    SyncStatNone = -1,
    SyncStatSome = 0,
    SyncStatAll = 1,
};

// Stage kinds of a failed add-files item.
enum : int
{
    FailedStageAdd = 1,
    FailedStageFetch = 2,
};

} // namespace PlayerClient

// Statistics of an artist: which parts were filled, the song count and the album count.
class CArtistInfo
{
public:
    int flags = 0;
    int songCount = 0;
    int albumCount = 0;
};

// Statistics of an album (or of an artist's album): which parts were filled, the song count, the artists.
class CAlbumInfo
{
public:
    int flags = 0;
    int songCount = 0;
    QStringList artists;
};

// The progress and result record of a player operation.
class CPlayerClientOperationReport
{
public:
    HRESULT result = E_FAIL;  // E_FAIL until completed, 1 while running
    int count = 0;            // items done
    bool failed = false;
    int failedIndex = -1;
    int failedStage = 0;      // PlayerClient::FailedStage*
    QList<int> skipped;       // positions the player left out
};

Q_DECLARE_METATYPE(CArtistInfo)
Q_DECLARE_METATYPE(CAlbumInfo)
