#pragma once
// Small builders shared by the lyrics tests.
#include "core/corefiles.h"
#include "core/songtypes.h"
#include "support/fakesonveroserver.h"
#include "support/mediawriter.h"

namespace LyricsTest {

using SvTest::WriteBytes;
const QString LyricsPath = QStringLiteral("/api/v2/lyrics");

inline SongLyrics Song(const QString& title, const QString& artist, const QString& album = QStringLiteral("Album"),
                       const QString& lang = QString())
{
    SongLyrics l;
    l.title = title, l.artist = artist, l.album = album, l.language = lang;
    return l;
}

// Lines "t<time>" at the given times.
inline CLyricLines Lines(std::initializer_list<int> times)
{
    CLyricLines lines;
    for (int time : times)
        lines << CLyricLine(QStringLiteral("t%1").arg(time), time);
    return lines;
}

// The service's lyrics of a song in album "Album": ids 41 and 77, two lines.
inline SvTest::CFakeSonveroServer::CLyrics OnService(const QString& title, const QString& artist, int version = 3,
                                                    const QString& lang = QString())
{
    SvTest::CFakeSonveroServer::CLyrics l;
    l.title = title, l.artist = artist, l.album = QStringLiteral("Album"), l.lang = lang;
    l.songId = 41, l.groupId = 77, l.version = version;
    l.lines = {{0, QStringLiteral("server one")}, {4000, QStringLiteral("server two")}};
    return l;
}

} // namespace LyricsTest
