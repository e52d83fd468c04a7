#pragma once
// Helpers of the tests that run the Windows Media Player client's library objects on the simulated player.
#include <QStringList>

#include "platform/wmp/simplayer.h"
#include "players/wmp/iplayerclientwmpsongprivimpl.h"

inline Platform::Wmp::CSimPlayer* Sim()
{
    return Platform::Wmp::CSimPlayer::Instance();
}

// A song object of owner over the library item id.
inline CIUnknownPtr<IPlayerClientSong> WmpSongOf(quint32 id, CPlayerClientWMP* owner)
{
    CIUnknownPtr<IWMPMedia> media;
    media.Attach(Sim()->NewMediaObject(Sim()->Library().FindById(id)));
    CIUnknownPtr<IPlayerClientWmpSongPriv> song;
    CIPlayerClientWmpSongPrivImpl::CreateInstanceWithRawInteface(owner, media, song.Out());
    return CIUnknownPtr<IPlayerClientSong>(song.Get());
}

// Titles of a list's songs, in order.
inline QStringList Titles(IPlayerClientCollectionSong* list)
{
    QStringList titles;
    for (int i = 0; i < list->GetItemCount(); ++i) {
        CIUnknownPtr<IPlayerClientSong> song;
        CSongMetadata record;
        list->GetItem(i, song.Out());
        titles << (song && SUCCEEDED(song->GetMetadata(&record)) ? record.title : "<failed>");
    }
    return titles;
}
