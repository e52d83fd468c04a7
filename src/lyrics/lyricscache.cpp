#include "lyrics/lyricscache.h"

#include <QFile>
#include <QSaveFile>
#include <QThread>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cstring>

#include "core/corefiles.h"
#include "core/log.h"

namespace {

const char DocType[] = "<!DOCTYPE Sonvero_lyrics_cache>\n";

// Element and attribute names as ready strings: the writer takes QString, and there are many lines.
struct CNames
{
    const QString lyrics = QStringLiteral("Lyrics");
    const QString song = QStringLiteral("Song");
    const QString line = QStringLiteral("Line");
    const QString duration = QStringLiteral("duration");
    const QString name = QStringLiteral("name");
    const QString artist = QStringLiteral("artist");
    const QString album = QStringLiteral("album");
    const QString id = QStringLiteral("id");
    const QString lang = QStringLiteral("lang");
    const QString locked = QStringLiteral("locked");
    const QString groupId = QStringLiteral("groupId");
    const QString syncable = QStringLiteral("syncable");
    const QString blocked = QStringLiteral("blocked");
    const QString version = QStringLiteral("version");
    const QString time = QStringLiteral("time");
    const QString text = QStringLiteral("text");
    const QString one = QStringLiteral("1");
    const QString zero = QStringLiteral("0");
};

const CNames& Names()
{
    static const CNames names;
    return names;
}

// Base-10 integer of an attribute; a missing attribute gives the default, one that does not convert 0.
int IntAttribute(const QXmlStreamAttributes& attributes, QLatin1String name, int missing)
{
    if (!attributes.hasAttribute(name))
        return missing;
    return attributes.value(name).toInt(nullptr, 10);
}

bool IsXmlChar(uint ucs4)
{
    return ucs4 == 0x9 || ucs4 == 0xA || ucs4 == 0xD || (ucs4 >= 0x20 && ucs4 <= 0xD7FF)
        || (ucs4 >= 0xE000 && ucs4 <= 0xFFFD) || (ucs4 >= 0x10000 && ucs4 <= 0x10FFFF);
}

// Text without the characters an XML 1.0 document cannot hold.
QString XmlSafeText(const QString& text)
{
    const int size = text.size();
    const QChar* data = text.constData();
    // Length of the valid character starting at i, 0 when it must go.
    auto validLength = [data, size](int i) -> int {
        const ushort c = data[i].unicode();
        if (c >= 0x20 && c < 0xD800)
            return 1;
        if (QChar::isHighSurrogate(c))
            return i + 1 < size && QChar::isLowSurrogate(data[i + 1].unicode()) ? 2 : 0;
        return !QChar::isSurrogate(c) && IsXmlChar(c) ? 1 : 0;
    };

    int i = 0;
    for (int n; i < size && (n = validLength(i)) > 0; i += n) {
    }
    if (i == size)
        return text;  // the usual case: no copy

    QString result;
    result.reserve(size);
    result.append(data, i);
    while (i < size) {
        const int n = validLength(i);
        if (n > 0)
            result.append(data + i, n);
        i += qMax(n, 1);
    }
    return result;
}

// Files written by a careless writer may hold raw control characters, which the stream reader refuses.
// In UTF-8 they are single bytes that never occur inside another character, so dropping them is safe.
QByteArray WithoutControlBytes(const QByteArray& data)
{
    QByteArray result;
    result.reserve(data.size());
    for (char c : data) {
        const uchar u = static_cast<uchar>(c);
        if (u >= 0x20 || u == 0x9 || u == 0xA || u == 0xD)
            result.append(c);
    }
    return result;
}

// Big files are read in two halves at once; below this size one pass is quick enough.
const qint64 SplitReadMinBytes = 1024 * 1024;

// One part of the file as a document of its own: prefix, then bytes [begin, end) of the file, then suffix.
class CFilePartDevice : public QIODevice
{
public:
    CFilePartDevice(const QString& path, qint64 begin, qint64 end, const QByteArray& prefix, const QByteArray& suffix)
        : m_file(path), m_begin(begin), m_end(end), m_prefix(prefix), m_suffix(suffix)
    {
    }

    bool Open()
    {
        return m_file.open(QIODevice::ReadOnly) && m_file.seek(m_begin) && open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        qint64 done = Take(m_prefix, m_prefixAt, data, maxSize);
        if (done < maxSize && m_prefixAt == m_prefix.size()) {
            const qint64 left = m_end - m_file.pos();
            if (left > 0) {
                const qint64 got = m_file.read(data + done, qMin(left, maxSize - done));
                if (got < 0)
                    return -1;
                done += got;
            }
            if (m_file.pos() >= m_end)
                done += Take(m_suffix, m_suffixAt, data + done, maxSize - done);
        }
        return done;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    static qint64 Take(const QByteArray& bytes, int& at, char* data, qint64 maxSize)
    {
        const int count = int(qMin<qint64>(bytes.size() - at, maxSize));
        memcpy(data, bytes.constData() + at, size_t(count));
        at += count;
        return count;
    }

    QFile m_file;
    qint64 m_begin;
    qint64 m_end;
    QByteArray m_prefix;
    QByteArray m_suffix;
    int m_prefixAt = 0;
    int m_suffixAt = 0;
};

} // namespace

LyricsCache::CKey LyricsCache::CKey::Of(const SongInfo& song, const QString& language)
{
    return CKey{song.title.toUpper(), song.artist.toUpper(), song.album.toUpper(), language};
}

uint qHash(const LyricsCache::CKey& key, uint seed)
{
    return qHash(QString(key.artist + key.album + key.title + key.language), seed);
}

LyricsCache::LyricsCache()
{
    Load(GetDataDirectory() + QStringLiteral("/lyrics.xml"));
}

LyricsCache::~LyricsCache()
{
    Save();
}

bool LyricsCache::Load(const QString& path)
{
    CStopwatch stopwatch(QStringLiteral("LyricsCache::Load"));
    WriteLog("LyricsCache::Load: f[%ls]", qUtf16Printable(path));
    m_path = path;
    m_protectFile = false;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        WriteLog("LyricsCache::Load: failed to open file[%ls]", qUtf16Printable(path));
        if (file.exists())
            m_protectFile = !KeepUnreadableFile(path);
        return false;
    }

    CTable found;
    bool ok = ReadInTwoParts(file, found);
    if (!ok) {
        found.clear();
        file.seek(0);
        QXmlStreamReader reader(&file);
        ok = ReadDocument(reader, found);
    }
    if (!ok && file.seek(0)) {
        // A second chance for raw control characters; any other fault keeps the file unreadable.
        const QByteArray data = file.readAll();
        const QByteArray cleaned = WithoutControlBytes(data);
        if (cleaned.size() != data.size()) {
            found.clear();
            QXmlStreamReader retry(cleaned);
            ok = ReadDocument(retry, found);
        }
    }
    file.close();
    if (!ok) {
        WriteLog("LyricsCache::Load: failed to parse file[%ls]", qUtf16Printable(path));
        m_protectFile = !KeepUnreadableFile(path);
        return false;
    }

    Merge(m_table, std::move(found));
    return true;
}

void LyricsCache::Merge(CTable& into, CTable&& found)
{
    if (into.isEmpty()) {
        into = std::move(found);
        return;
    }
    into.reserve(into.size() + found.size());
    for (auto it = found.cbegin(); it != found.cend(); ++it) {
        if (!into.contains(it.key()))  // what was there first wins
            into.insert(it.key(), it.value());
    }
}

bool LyricsCache::ReadInTwoParts(QFile& file, CTable& table)
{
    const qint64 size = file.size();
    if (size < SplitReadMinBytes || QThread::idealThreadCount() < 2)
        return false;
    // Only our own files: no declaration that could name another encoding for the second half.
    if (!file.seek(0) || !file.read(qstrlen(DocType)).startsWith(QByteArray(DocType).trimmed()))
        return false;

    // The halves meet before a "Song" element. A "<Song" anywhere else (a comment, say) makes the
    // first half end inside it, so the first half fails and the caller reads the file in one pass.
    const qint64 middle = size / 2;
    if (!file.seek(middle))
        return false;
    const QByteArray window = file.read(256 * 1024);
    qint64 split = -1;
    for (int at = window.indexOf("<Song"); at >= 0 && at + 5 < window.size(); at = window.indexOf("<Song", at + 1)) {
        const char next = window.at(at + 5);
        if (next == ' ' || next == '\t' || next == '\r' || next == '\n' || next == '>' || next == '/') {
            split = middle + at;
            break;
        }
    }
    if (split < 0)
        return false;

    CTable second;
    bool secondOk = false;
    const QString path = file.fileName();
    QThread* thread = QThread::create([&second, &secondOk, path, split, size] {
        CFilePartDevice part(path, split, size, "<Lyrics>", QByteArray());
        if (part.Open()) {
            QXmlStreamReader reader(&part);
            secondOk = ReadDocument(reader, second);
        }
    });
    thread->start();
    bool firstOk = false;
    {
        CFilePartDevice part(path, 0, split, QByteArray(), "</Lyrics>");
        if (part.Open()) {
            QXmlStreamReader reader(&part);
            firstOk = ReadDocument(reader, table);
        }
    }
    thread->wait();
    delete thread;
    if (!firstOk || !secondOk)
        return false;
    Merge(table, std::move(second));  // the first half comes first in the file
    return true;
}

bool LyricsCache::ReadDocument(QXmlStreamReader& reader, CTable& table)
{
    if (reader.readNextStartElement() && reader.name() == Names().lyrics) {
        while (reader.readNextStartElement()) {
            if (reader.name() == Names().song)
                ReadSong(reader, table);
            else
                reader.skipCurrentElement();
        }
    }
    // The whole document must be well formed, as the reader sees only what it has read.
    while (!reader.atEnd() && !reader.hasError())
        reader.readNext();
    return !reader.hasError();
}

void LyricsCache::ReadSong(QXmlStreamReader& reader, CTable& table)
{
    SongLyrics lyrics;
    {
        const QXmlStreamAttributes attributes = reader.attributes();
        lyrics.duration = IntAttribute(attributes, QLatin1String("duration"), 0);
        lyrics.title = attributes.value(QLatin1String("name")).toString();
        lyrics.artist = attributes.value(QLatin1String("artist")).toString();
        lyrics.album = attributes.value(QLatin1String("album")).toString();
        lyrics.id = IntAttribute(attributes, QLatin1String("id"), 0);
        lyrics.language = attributes.value(QLatin1String("lang")).toString();
        lyrics.locked = IntAttribute(attributes, QLatin1String("locked"), 0) != 0;
        lyrics.groupId = IntAttribute(attributes, QLatin1String("groupId"), 0);
        // Our writer always writes it; a file without it keeps the lyrics timable, as a new value is.
        lyrics.syncable = IntAttribute(attributes, QLatin1String("syncable"), 1) != 0;
        lyrics.blocked = IntAttribute(attributes, QLatin1String("blocked"), 0);
    }

    bool lyricsSeen = false;
    while (reader.readNextStartElement()) {
        if (lyricsSeen || reader.name() != Names().lyrics) {
            reader.skipCurrentElement();
            continue;
        }
        lyricsSeen = true;
        lyrics.version = IntAttribute(reader.attributes(), QLatin1String("version"), -1);
        while (reader.readNextStartElement()) {
            if (reader.name() == Names().line) {
                const QXmlStreamAttributes attributes = reader.attributes();
                lyrics.lines.append(CLyricLine(attributes.value(QLatin1String("text")).toString(),
                                               IntAttribute(attributes, QLatin1String("time"), 0)));
            }
            reader.skipCurrentElement();
        }
    }

    const CKey key = CKey::Of(lyrics, lyrics.language);
    if (!table.contains(key))  // of two songs with one key the first read wins
        table.insert(key, lyrics);
}

bool LyricsCache::KeepUnreadableFile(const QString& path)
{
    QString target = path + QStringLiteral(".bad");
    for (int n = 1; QFile::exists(target); ++n)
        target = path + QStringLiteral(".bad.") + QString::number(n);
    if (!QFile::rename(path, target)) {
        WriteLog("LyricsCache::Load: can not move [%ls] aside; it will not be overwritten", qUtf16Printable(path));
        return false;
    }
    WriteLog("LyricsCache::Load: unreadable file kept as [%ls]", qUtf16Printable(target));
    return true;
}

bool LyricsCache::Save()
{
    CStopwatch stopwatch(QStringLiteral("LyricsCache::Save"));
    if (m_protectFile) {
        WriteLog("LyricsCache::Save: [%ls] could not be read and is kept as it is", qUtf16Printable(m_path));
        return false;
    }

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        WriteLog("LyricsCache::Save: failed to open[%ls]", qUtf16Printable(m_path));
        return false;
    }

    // The writer fills a text that goes to the file in blocks, not piece by piece through a codec.
    const int blockChars = 128 * 1024;
    QString text;
    text.reserve(blockChars + 16 * 1024);
    bool written = true;
    auto flush = [&text, &file, &written] {
        const QByteArray bytes = text.toUtf8();
        written = written && file.write(bytes) == bytes.size();
        text.resize(0);
    };

    QXmlStreamWriter writer(&text);
    writer.setAutoFormattingIndent(1);
    writer.writeDTD(QLatin1String(DocType));  // first thing in the file, with no line break before it
    writer.setAutoFormatting(true);
    writer.writeStartElement(Names().lyrics);
    for (auto it = m_table.cbegin(); it != m_table.cend() && written; ++it) {
        CreateSongElement(writer, it.value());
        if (text.size() >= blockChars)
            flush();
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    flush();

    if (!written || !file.commit()) {
        WriteLog("LyricsCache::Save: failed to write[%ls] err=%x %ls", qUtf16Printable(m_path),
                 static_cast<unsigned>(file.error()), qUtf16Printable(file.errorString()));
        file.cancelWriting();
        return false;
    }
    return true;
}

void LyricsCache::CreateLineElement(QXmlStreamWriter& writer, const CLyricLine& line)
{
    const CNames& n = Names();
    writer.writeEmptyElement(n.line);
    writer.writeAttribute(n.time, QString::number(line.time));
    writer.writeAttribute(n.text, XmlSafeText(line.text));
}

void LyricsCache::CreateSongElement(QXmlStreamWriter& writer, const SongLyrics& lyrics)
{
    const CNames& n = Names();
    writer.writeStartElement(n.song);
    writer.writeAttribute(n.duration, QString::number(lyrics.duration));
    writer.writeAttribute(n.name, XmlSafeText(lyrics.title));
    writer.writeAttribute(n.artist, XmlSafeText(lyrics.artist));
    writer.writeAttribute(n.album, XmlSafeText(lyrics.album));
    writer.writeAttribute(n.id, QString::number(lyrics.id));
    writer.writeAttribute(n.lang, XmlSafeText(lyrics.language));
    writer.writeAttribute(n.locked, lyrics.locked ? n.one : n.zero);
    writer.writeAttribute(n.groupId, QString::number(lyrics.groupId));
    writer.writeAttribute(n.syncable, lyrics.syncable ? n.one : n.zero);
    writer.writeAttribute(n.blocked, QString::number(lyrics.blocked));

    writer.writeStartElement(n.lyrics);  // closed as "<Lyrics .../>" when there are no lines
    writer.writeAttribute(n.version, QString::number(lyrics.version));
    for (const CLyricLine& line : lyrics.lines)
        CreateLineElement(writer, line);
    writer.writeEndElement();
    writer.writeEndElement();
}

bool LyricsCache::Get(SongLyrics& lyrics) const
{
    const auto it = m_table.constFind(CKey::Of(lyrics, lyrics.language));
    if (it == m_table.cend()) {
        lyrics.AssignLyricsFrom(SongLyrics());
        return false;
    }
    lyrics = it.value();
    return true;
}

void LyricsCache::Insert(const SongLyrics& lyrics)
{
    m_table.insert(CKey::Of(lyrics, lyrics.language), lyrics);
}
