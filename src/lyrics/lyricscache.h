#pragma once
// Every song's lyrics that the program has seen, by song and lyric language, kept between runs in
// "lyrics.xml" in the data directory.
#include <QHash>
#include <QString>

#include "core/songtypes.h"

class QFile;
class QXmlStreamReader;
class QXmlStreamWriter;

class LyricsCache
{
public:
    // The key: title, artist and album without regard to case, the language exactly.
    struct CKey
    {
        QString title;   // upper-cased
        QString artist;  // upper-cased
        QString album;   // upper-cased
        QString language;

        static CKey Of(const SongInfo& song, const QString& language);
        bool operator==(const CKey& other) const
        {
            return title == other.title && artist == other.artist && album == other.album
                && language == other.language;
        }
    };
    using CTable = QHash<CKey, SongLyrics>;

    // Path: data directory + "/lyrics.xml"; loads it.
    LyricsCache();
    // Saves.
    ~LyricsCache();

    LyricsCache(const LyricsCache&) = delete;
    LyricsCache& operator=(const LyricsCache&) = delete;

    // Remembers the path and adds every song of the file whose key is not there yet. False when the
    // file is missing or unreadable; then nothing is added. An unreadable file is moved aside to
    // "<path>.bad" (or "<path>.bad.<n>" when that exists) so that no later save destroys it.
    bool Load(const QString& path);
    // Writes the whole table to the path, replacing the file only once the new one is complete.
    // False (logged) when anything fails; the previous file then stays as it was.
    bool Save();

    // Found: the whole stored entry is copied into lyrics. Not found: the lyric content of lyrics is
    // cleared (song fields and language kept) and false returned.
    bool Get(SongLyrics& lyrics) const;
    // Stores lyrics under its key, replacing an entry with the same key.
    void Insert(const SongLyrics& lyrics);

    int Count() const { return m_table.size(); }
    const CTable& Table() const { return m_table; }

    // The elements of the file for one line and one song (with its lyrics and lines).
    static void CreateLineElement(QXmlStreamWriter& writer, const CLyricLine& line);
    static void CreateSongElement(QXmlStreamWriter& writer, const SongLyrics& lyrics);

private:
    static bool ReadDocument(QXmlStreamReader& reader, CTable& table);
    // A big file of our own read as two halves at once; false when that does not apply or fails.
    static bool ReadInTwoParts(QFile& file, CTable& table);
    // Adds the entries whose key into lacks.
    static void Merge(CTable& into, CTable&& found);
    static void ReadSong(QXmlStreamReader& reader, CTable& table);
    bool KeepUnreadableFile(const QString& path);

    QString m_path;
    CTable m_table;
    // The file at m_path could not be read nor moved aside: it must not be overwritten.
    bool m_protectFile = false;
};

uint qHash(const LyricsCache::CKey& key, uint seed = 0);
