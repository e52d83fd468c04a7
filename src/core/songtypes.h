#pragma once
// The song value types that travel between the player front, the lyrics components and the views.
#include <QMetaType>
#include <QString>
#include <QVector>

// A song as the player reports it.
class SongInfo
{
public:
    QString title;
    QString artist;
    QString album;
    QString location;  // file location
    int number = 0;    // a free number of the reporting player (0 when unused)
    int duration = 0;  // whole seconds

    // Same title, artist and album without regard to case; an object is always the same song as itself.
    static bool IsSameSong(const SongInfo& a, const SongInfo& b);
    // Title, artist and album all empty.
    bool IsEmpty() const;
    // "title[%1] artist[%2] album[%3]", for the log.
    QString ToString() const;
};

// The playing song: the song fields, the playing flag and the play position.
class PlayingSongInfo : public SongInfo
{
public:
    bool playing = true;
    int position = 0;  // milliseconds
};

// One timed line of lyrics.
struct CLyricLine
{
    CLyricLine() = default;
    CLyricLine(const QString& lineText, qint32 lineTime) : text(lineText), time(lineTime) {}

    QString text;     // may be empty
    qint32 time = 0;  // milliseconds from the start of the song

    bool operator==(const CLyricLine& other) const { return time == other.time && text == other.text; }
    bool operator!=(const CLyricLine& other) const { return !(*this == other); }
};

// The timed lines of a song, in order; implicitly shared like every QVector.
class CLyricLines : public QVector<CLyricLine>
{
public:
    using QVector<CLyricLine>::QVector;
    CLyricLines() = default;
    CLyricLines(const QVector<CLyricLine>& lines) : QVector<CLyricLine>(lines) {}

    // Every time at least 0, never decreasing, the last one not 0; an empty list is valid.
    bool HasValidTimeline() const;
};

// A song with its lyrics and the lyric description the service gave for them.
class SongLyrics : public PlayingSongInfo
{
public:
    // Bits of Compare.
    enum : int
    {
        DiffSong = 0x1,       // song fields, language, id or groupId
        DiffLineText = 0x2,
        DiffLineTime = 0x4,
        DiffStatus = 0x8,
        DiffLocked = 0x10,
        DiffSyncable = 0x20,
        DiffBlocked = 0x40,
    };
    // Values of status; a negative status is the result code of the failed lookup.
    enum : int
    {
        StatusDone = 0,
        StatusRunning = 1,
        StatusNotAsked = 2,
    };

    CLyricLines lines;
    int version = -1;
    QString language;       // empty = the song's own language
    bool locked = false;
    int blocked = 0;        // 0 available, 1 blocked, 2 blocked in the user's country
    int id = 0;             // the service's song id; below 1 when there is none
    int groupId = 0;
    bool syncable = true;
    int status = StatusNotAsked;

    // Bit set of differences (Diff* bits); 0 for the same object.
    static int Compare(const SongLyrics& a, const SongLyrics& b);
    // Same song and exactly the same language: the key equality of the lyrics cache.
    static bool IsSameLyrics(const SongLyrics& a, const SongLyrics& b);

    // Takes lines, version, locked, blocked, syncable, ids and status of other; keeps this value's
    // song fields, playing flag, position and language.
    void AssignLyricsFrom(const SongLyrics& other);
    // The same, then sets the status.
    void AssignLyricsWithStatus(const SongLyrics& other, int newStatus);
};

Q_DECLARE_METATYPE(SongInfo)
Q_DECLARE_METATYPE(PlayingSongInfo)
Q_DECLARE_METATYPE(CLyricLines)
Q_DECLARE_METATYPE(SongLyrics)
