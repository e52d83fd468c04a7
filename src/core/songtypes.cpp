#include "core/songtypes.h"

bool SongInfo::IsSameSong(const SongInfo& a, const SongInfo& b)
{
    if (&a == &b)
        return true;
    return a.title.toUpper() == b.title.toUpper() && a.artist.toUpper() == b.artist.toUpper()
        && a.album.toUpper() == b.album.toUpper();
}

bool SongInfo::IsEmpty() const
{
    return title.isEmpty() && artist.isEmpty() && album.isEmpty();
}

QString SongInfo::ToString() const
{
    return QStringLiteral("title[%1] artist[%2] album[%3]").arg(title, artist, album);
}

bool CLyricLines::HasValidTimeline() const
{
    if (isEmpty())
        return true;
    qint32 previous = 0;
    for (const CLyricLine& line : *this) {
        if (line.time < previous)  // also catches a negative first time
            return false;
        previous = line.time;
    }
    return last().time != 0;
}

int SongLyrics::Compare(const SongLyrics& a, const SongLyrics& b)
{
    if (&a == &b)
        return 0;
    int diff = 0;
    if (!SongInfo::IsSameSong(a, b) || a.language != b.language || a.id != b.id || a.groupId != b.groupId)
        diff |= DiffSong;
    if (a.lines.size() != b.lines.size()) {
        diff |= DiffLineText | DiffLineTime;
    } else {
        for (int i = 0; i < a.lines.size(); ++i) {
            const CLyricLine& la = a.lines.at(i);
            const CLyricLine& lb = b.lines.at(i);
            if (la.text != lb.text)
                diff |= DiffLineText;
            if (la.time != lb.time)
                diff |= DiffLineTime;
        }
    }
    if (a.status != b.status)
        diff |= DiffStatus;
    if (a.locked != b.locked)
        diff |= DiffLocked;
    if (a.syncable != b.syncable)
        diff |= DiffSyncable;
    if (a.blocked != b.blocked)
        diff |= DiffBlocked;
    return diff;
}

bool SongLyrics::IsSameLyrics(const SongLyrics& a, const SongLyrics& b)
{
    return SongInfo::IsSameSong(a, b) && a.language == b.language;
}

void SongLyrics::AssignLyricsFrom(const SongLyrics& other)
{
    if (&other == this)
        return;
    lines = other.lines;
    version = other.version;
    locked = other.locked;
    blocked = other.blocked;
    id = other.id;
    groupId = other.groupId;
    syncable = other.syncable;
    status = other.status;
}

void SongLyrics::AssignLyricsWithStatus(const SongLyrics& other, int newStatus)
{
    AssignLyricsFrom(other);
    status = newStatus;
}
