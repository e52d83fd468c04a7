#include "support/testmain.h"

#include <QTemporaryDir>

#include "core/mediahelper.h"
#include "core/resultcodes.h"
#include "support/mediawriter.h"

namespace {

// Collects the log lines written while it lives.
class CLogCapture
{
public:
    CLogCapture()
    {
        s_lines.clear();
        m_previous = qInstallMessageHandler(Handler);
    }
    ~CLogCapture() { qInstallMessageHandler(m_previous); }

    QStringList Lines() const { return s_lines; }
    QStringList LinesStartingWith(const QString& prefix) const
    {
        QStringList found;
        for (const QString& line : s_lines) {
            if (line.startsWith(prefix))
                found.append(line);
        }
        return found;
    }

private:
    static void Handler(QtMsgType, const QMessageLogContext&, const QString& message) { s_lines.append(message); }

    static QStringList s_lines;
    QtMessageHandler m_previous = nullptr;
};

QStringList CLogCapture::s_lines;

// An image that differs in every pixel from one made with another seed, so a mix-up shows.
QImage MakeImage(int seed, const QSize& size)
{
    QImage image(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgba((x * 7 + seed * 40) & 0xFF, (y * 11 + seed) & 0xFF, seed * 60 & 0xFF, 255));
    }
    return image;
}

bool SameImage(const QImage& a, const QImage& b)
{
    return a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestMediaHelper : public QObject
{
    Q_OBJECT
private slots:
    void readBack_data();
    void readBack();
    void pictureTypes_data();
    void pictureTypes();
    void brokenFiles_data();
    void brokenFiles();
    void untaggedFile();
    void dump();
    void formatLookup_data();
    void formatLookup();
    void formatTable();
    void safeFileName_data();
    void safeFileName();
    void latin1Chars_data();
    void latin1Chars();

private:
    QTemporaryDir m_dir;
};

void TestMediaHelper::readBack_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("artist");
    QTest::addColumn<QString>("album");
    QTest::addColumn<int>("id3v2");

    const QString latinTitle = QStringLiteral("Yesterday");
    const QString accented = QStringLiteral("Jùjú Laïkó");
    const QString greek = QStringLiteral("Καλημέρα κόσμε");
    const QString cjk = QStringLiteral("東京事変 — 群青日和");
    const QString cyrillic = QStringLiteral("Кино");
    QTest::newRow("mp3 ID3v2.3 ASCII") << "mp3v3" << latinTitle << "The Beatles" << "Help!" << 3;
    QTest::newRow("mp3 ID3v2.3 non-Latin") << "mp3v3" << cjk << greek << accented << 3;
    QTest::newRow("mp3 ID3v2.4 ASCII") << "mp3v4" << latinTitle << "The Beatles" << "Help!" << 4;
    QTest::newRow("mp3 ID3v2.4 non-Latin") << "mp3v4" << greek << cyrillic << cjk << 4;
    QTest::newRow("flac ASCII") << "flac" << latinTitle << "The Beatles" << "Help!" << -1;
    QTest::newRow("flac non-Latin") << "flac" << accented << cjk << cyrillic << -1;
}

void TestMediaHelper::readBack()
{
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(QString, artist);
    QFETCH(QString, album);
    QFETCH(int, id3v2);

    SvTest::CMediaTags tags;
    tags.title = title;
    tags.artist = artist;
    tags.album = album;
    tags.genre = QStringLiteral("Rock");
    tags.track = 3;
    tags.trackTotal = 12;
    tags.year = 1965;
    const QImage front = MakeImage(1, QSize(40, 30));
    const QImage back = MakeImage(2, QSize(16, 16));
    tags.pictures = {SvTest::CMediaPicture::FromImage(3, front), SvTest::CMediaPicture::FromImage(4, back)};

    const bool isFlac = kind == QLatin1String("flac");
    // A non-ASCII file name with a blank, as users have them.
    const QString path = m_dir.filePath(QStringLiteral("Lied %1 ü.%2").arg(kind, isFlac ? "flac" : "mp3"));
    QVERIFY(isFlac ? SvTest::WriteFlac(path, tags) : SvTest::WriteMp3(path, tags, id3v2));

    CFileMetadata metadata;
    metadata.title = QStringLiteral("stale");
    QCOMPARE(CCoreMediaHelper::GetFileMetadata(path, metadata), S_OK);
    QCOMPARE(metadata.filePath, path);
    QCOMPARE(metadata.formatIndex, CCoreMediaHelper::FindFormatEntry(path));
    QCOMPARE(CCoreMediaHelper::GetFormatTypeByIndex(metadata.formatIndex), 1);
    QCOMPARE(metadata.title, title);
    QCOMPARE(metadata.artist, artist);
    QCOMPARE(metadata.album, album);
    QCOMPARE(metadata.id3v2Version, id3v2);

    CCoreMediaHelper::CPictureTable pictures;
    QCOMPARE(CCoreMediaHelper::GetFileMetadataPictures(path, pictures), S_OK);
    QCOMPARE(pictures.keys(), (QList<int>{3, 4}));
    QVERIFY(SameImage(pictures.value(3), front));
    QVERIFY(SameImage(pictures.value(4), back));
}

void TestMediaHelper::pictureTypes_data()
{
    QTest::addColumn<bool>("flac");
    QTest::newRow("mp3") << false;
    QTest::newRow("flac") << true;
}

void TestMediaHelper::pictureTypes()
{
    QFETCH(bool, flac);

    // Every type comes through under its own number; of two pictures of one type the first wins.
    SvTest::CMediaTags tags;
    tags.title = QStringLiteral("Art");
    const QImage first = MakeImage(3, QSize(8, 8));
    tags.pictures = {SvTest::CMediaPicture::FromImage(3, first), SvTest::CMediaPicture::Plain(1, Qt::red),
                     SvTest::CMediaPicture::FromImage(3, MakeImage(4, QSize(8, 8))),
                     SvTest::CMediaPicture::Plain(20, Qt::blue), SvTest::CMediaPicture::Plain(5, Qt::green)};
    const QString path = m_dir.filePath(flac ? QStringLiteral("types.flac") : QStringLiteral("types.mp3"));
    QVERIFY(flac ? SvTest::WriteFlac(path, tags) : SvTest::WriteMp3(path, tags, 3));

    CCoreMediaHelper::CPictureTable pictures;
    QCOMPARE(CCoreMediaHelper::GetFileMetadataPictures(path, pictures), S_OK);
    QCOMPARE(pictures.keys(), (QList<int>{1, 3, 5, 20}));
    QVERIFY(SameImage(pictures.value(3), first));
    QCOMPARE(pictures.value(20).pixelColor(0, 0), QColor(Qt::blue));

    // A picture whose bytes are no image is left out, the others stay.
    SvTest::CMediaPicture junk;
    junk.type = 4;
    junk.data = QByteArray("not an image at all");
    tags.pictures = {junk, SvTest::CMediaPicture::FromImage(3, first)};
    QVERIFY(flac ? SvTest::WriteFlac(path, tags) : SvTest::WriteMp3(path, tags, 4));
    CLogCapture log;
    QCOMPARE(CCoreMediaHelper::GetFileMetadataPictures(path, pictures), S_OK);
    QCOMPARE(pictures.keys(), QList<int>{3});
    QCOMPARE(log.LinesStartingWith(QStringLiteral("CCoreMediaHelper::GetFileMetadataPictures: unreadable picture type=4"))
                 .size(),
             1);
}

void TestMediaHelper::brokenFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");  // null = a folder of that name
    QTest::addColumn<int>("code");

    QByteArray text;
    for (int i = 0; i < 200; ++i)
        text += "These bytes are not audio. ";
    QTest::newRow("text named .mp3") << "text.mp3" << text << int(E_FAIL);
    QTest::newRow("zero bytes .flac") << "empty.flac" << QByteArray("") << int(E_FAIL);
    QTest::newRow("flac marker only") << "marker.flac" << QByteArray("fLaC") << int(E_FAIL);
    QTest::newRow("MPEG header, no frame") << "header.mp3" << SvTest::SilentMp3Frames(1).left(4) << int(E_FAIL);
    QTest::newRow("unknown suffix") << "song.xyz" << text << int(E_FAIL);
    QTest::newRow("folder named .mp3") << "folder.mp3" << QByteArray() << int(E_FAIL);
    QTest::newRow("missing file") << "missing.mp3" << QByteArray("-") << int(SV_E_FILE_MISSING);
}

void TestMediaHelper::brokenFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);

    const QString path = m_dir.filePath(name);
    if (bytes.isNull())
        QVERIFY(QDir().mkpath(path));
    else if (bytes != "-")
        QVERIFY(SvTest::WriteBytes(path, bytes));

    CLogCapture log;
    CFileMetadata metadata;
    QCOMPARE(CCoreMediaHelper::GetFileMetadata(path, metadata), code);
    QCOMPARE(log.Lines(), QStringList{QStringLiteral("CCoreMediaHelper::GetFileMetadata: failed")});
    QVERIFY(metadata.title.isEmpty());

    CCoreMediaHelper::CPictureTable pictures;
    pictures.insert(3, QImage(1, 1, QImage::Format_RGB32));
    QCOMPARE(CCoreMediaHelper::GetFileMetadataPictures(path, pictures), code);
    QVERIFY(pictures.isEmpty());

    // The dump of a broken file says so in one line and does not crash.
    const int before = log.Lines().size();
    CCoreMediaHelper::DumpFileMetadata(path);
    QCOMPARE(log.Lines().size(), before + 1);
    QVERIFY(log.Lines().last().startsWith(QStringLiteral("CCoreMediaHelper::DumpFileMetadata: failed")));
}

void TestMediaHelper::untaggedFile()
{
    // No tag is no failure: the fields stay empty and the version unknown.
    const QString mp3 = m_dir.filePath(QStringLiteral("plain.mp3"));
    QVERIFY(SvTest::WriteMp3(mp3, SvTest::CMediaTags()));
    CFileMetadata metadata;
    QCOMPARE(CCoreMediaHelper::GetFileMetadata(mp3, metadata), S_OK);
    QVERIFY(metadata.title.isEmpty() && metadata.artist.isEmpty() && metadata.album.isEmpty());
    QCOMPARE(metadata.id3v2Version, -1);
    CCoreMediaHelper::CPictureTable pictures;
    QCOMPARE(CCoreMediaHelper::GetFileMetadataPictures(mp3, pictures), S_OK);
    QVERIFY(pictures.isEmpty());

    // An ID3v1 tag alone gives the texts but no ID3v2 version.
    SvTest::CMediaTags tags;
    tags.title = QStringLiteral("Only v1");
    QVERIFY(SvTest::WriteMp3(mp3, tags, 0, true));
    QCOMPARE(CCoreMediaHelper::GetFileMetadata(mp3, metadata), S_OK);
    QCOMPARE(metadata.title, QStringLiteral("Only v1"));
    QCOMPARE(metadata.id3v2Version, -1);

    CLogCapture log;
    QCOMPARE(CCoreMediaHelper::GetFileMetadata(QString(), metadata), E_INVALIDARG);
    QCOMPARE(CCoreMediaHelper::GetFileMetadataPictures(QString(), pictures), E_INVALIDARG);
    QCOMPARE(log.Lines(), (QStringList{QStringLiteral("CCoreMediaHelper::GetFileMetadata: no file name"),
                                       QStringLiteral("CCoreMediaHelper::GetFileMetadataPictures: no file name")}));
}

void TestMediaHelper::dump()
{
    SvTest::CMediaTags tags;
    tags.title = QStringLiteral("Καλημέρα");
    tags.artist = QStringLiteral("Band");
    tags.genre = QStringLiteral("Jùjú");
    tags.track = 3;
    tags.trackTotal = 12;
    tags.disc = 1;
    tags.discTotal = 2;
    tags.date = QStringLiteral("2003-05-17");
    tags.properties.insert(QStringLiteral("COMMENT"), {QStringLiteral("kept")});
    tags.pictures = {SvTest::CMediaPicture::Plain(4, Qt::white)};

    const QString mp3 = m_dir.filePath(QStringLiteral("dump.mp3"));
    QVERIFY(SvTest::WriteMp3(mp3, tags, 3, true));
    {
        CLogCapture log;
        CCoreMediaHelper::DumpFileMetadata(mp3);
        const QStringList lines = log.Lines();
        QVERIFY(lines.contains(QStringLiteral("CCoreMediaHelper::DumpFileMetadata: file[%1] container[MPEG]").arg(mp3)));
        QVERIFY(lines.contains(QStringLiteral("CCoreMediaHelper::DumpFileMetadata: [ID3v2.3] TIT2=Καλημέρα")));
        for (const char* frame : {"TPE1=Band", "TCON=Jùjú", "TRCK=3/12", "TPOS=1/2", "TDRC=2003-05-17", "COMM=kept"})
            QVERIFY2(lines.contains(QStringLiteral("CCoreMediaHelper::DumpFileMetadata: [ID3v2.3] ")
                                    + QString::fromUtf8(frame)),
                     frame);
        QCOMPARE(log.LinesStartingWith(QStringLiteral("CCoreMediaHelper::DumpFileMetadata: [ID3v2.3] picture type=4 "))
                     .size(),
                 1);
        QVERIFY(lines.contains(QStringLiteral("CCoreMediaHelper::DumpFileMetadata: [ID3v1] ARTIST=Band")));
        QCOMPARE(log.LinesStartingWith(QStringLiteral("CCoreMediaHelper::DumpFileMetadata: [audio] length=")).size(), 1);
    }

    const QString flac = m_dir.filePath(QStringLiteral("dump.flac"));
    QVERIFY(SvTest::WriteFlac(flac, tags));
    {
        CLogCapture log;
        CCoreMediaHelper::DumpFileMetadata(flac);
        const QStringList lines = log.Lines();
        QVERIFY(lines.contains(QStringLiteral("CCoreMediaHelper::DumpFileMetadata: file[%1] container[FLAC]").arg(flac)));
        QVERIFY(lines.contains(QStringLiteral("CCoreMediaHelper::DumpFileMetadata: [Xiph] TITLE=Καλημέρα")));
        for (const char* field : {"COMMENT=kept", "GENRE=Jùjú", "TRACKNUMBER=3/12", "DISCNUMBER=1/2", "DATE=2003-05-17"})
            QVERIFY2(lines.contains(QStringLiteral("CCoreMediaHelper::DumpFileMetadata: [Xiph] ")
                                    + QString::fromUtf8(field)),
                     field);
        QCOMPARE(log.LinesStartingWith(QStringLiteral("CCoreMediaHelper::DumpFileMetadata: [FLAC] picture type=4 ")).size(),
                 1);
    }
}

void TestMediaHelper::formatLookup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("extension");  // the entry expected to hold it; empty = none
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("code");

    QTest::newRow("mp3") << "/music/a.mp3" << "mp3" << 1 << 0x3009;
    QTest::newRow("upper-case suffix") << "/music/A.MP3" << "mp3" << 1 << 0x3009;
    QTest::newRow("mixed-case flac") << "b.FlAc" << "flac" << 1 << 0xB906;
    QTest::newRow("wma") << "c.wma" << "wma" << 1 << 0xB901;
    QTest::newRow("m4a") << "d.m4a" << "m4a" << 1 << 0xB982;
    QTest::newRow("mp4 shares the m4a entry") << "d.mp4" << "m4a" << 1 << 0xB982;
    QTest::newRow("m3u playlist") << "/device/Sonvero/Road Trip.m3u" << "m3u" << 2 << 0xBA11;
    QTest::newRow("no suffix") << "/music/README" << "" << 0 << -1;
    QTest::newRow("dot in the folder only") << "/music/v1.0/README" << "" << 0 << -1;
    QTest::newRow("trailing dot") << "song." << "" << 0 << -1;
    QTest::newRow("unsupported") << "cover.jpg" << "" << 0 << -1;
    QTest::newRow("suffix only as part") << "song.mp3.bak" << "" << 0 << -1;
    QTest::newRow("empty") << "" << "" << 0 << -1;
}

void TestMediaHelper::formatLookup()
{
    QFETCH(QString, name);
    QFETCH(QString, extension);
    QFETCH(int, type);
    QFETCH(int, code);

    const int index = CCoreMediaHelper::FindFormatEntry(name);
    if (extension.isEmpty()) {
        QCOMPARE(index, CCoreMediaHelper::FormatTableEnd());
    } else {
        QVERIFY(index >= 0 && index < CCoreMediaHelper::FormatTableEnd());
        QVERIFY(CCoreMediaHelper::GetFormatTable().at(index).extensions.contains(extension));
    }
    QCOMPARE(CCoreMediaHelper::GetFormatTypeByIndex(index), type);
    QCOMPARE(CCoreMediaHelper::GetFormatTypeByFile(name), type);
    QCOMPARE(CCoreMediaHelper::GetDeviceFormatCodeByIndex(index), code);
}

void TestMediaHelper::formatTable()
{
    CCoreMediaHelper::RegisterSupportedMediaFormats();
    const QVector<CMediaFormatDesc>& table = CCoreMediaHelper::GetFormatTable();
    QCOMPARE(CCoreMediaHelper::FormatTableEnd(), table.size());
    // Built once: every call sees the same table.
    QCOMPARE(&CCoreMediaHelper::GetFormatTable(), &table);

    QStringList seen;
    int playlists = 0;
    for (const CMediaFormatDesc& desc : table) {
        QVERIFY(desc.type == 1 || desc.type == 2);
        playlists += desc.type == 2;
        for (const QString& extension : desc.extensions) {
            QCOMPARE(extension, extension.toLower());
            QVERIFY2(!seen.contains(extension), qPrintable(extension));
            seen.append(extension);
        }
    }
    QCOMPARE(playlists, 1);

    for (int index : {-1, table.size(), 1000}) {
        QCOMPARE(CCoreMediaHelper::GetFormatTypeByIndex(index), 0);
        QCOMPARE(CCoreMediaHelper::GetDeviceFormatCodeByIndex(index), -1);
    }
}

void TestMediaHelper::safeFileName_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("safe");
    QTest::newRow("empty") << "" << "";
    QTest::newRow("plain") << "Abbey Road" << "Abbey Road";
    QTest::newRow("slash") << "AC/DC" << "AC_DC";
    QTest::newRow("every unsafe character") << "/\\&*:\"'.?<>|" << "____________";
    QTest::newRow("mixed") << "What's Up? <Live> 1.0" << "What_s Up_ _Live_ 1_0";
    QTest::newRow("non-Latin kept") << "Björk: Homogenic" << "Björk_ Homogenic";
    QTest::newRow("others kept") << "a-b_c (d) [e] #1 +2 ,;!%" << "a-b_c (d) [e] #1 +2 ,;!%";
}

void TestMediaHelper::safeFileName()
{
    QFETCH(QString, text);
    QFETCH(QString, safe);
    QCOMPARE(CCoreMediaHelper::ToSafeFileName(text), safe);
}

void TestMediaHelper::latin1Chars_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("has");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("ASCII") << "Hello, World ~" << false;
    QTest::newRow("127") << QString(QChar(0x7F)) << false;
    QTest::newRow("128") << QString(QChar(0x80)) << true;
    QTest::newRow("255") << QStringLiteral("abc") + QChar(0xFF) << true;
    QTest::newRow("256") << QString(QChar(0x100)) << false;
    QTest::newRow("umlaut") << "Björk" << true;
    QTest::newRow("Greek and CJK only") << "Καλημέρα 東京" << false;
    QTest::newRow("CJK with one e-acute") << "東京 café" << true;
}

void TestMediaHelper::latin1Chars()
{
    QFETCH(QString, text);
    QFETCH(bool, has);
    QCOMPARE(CCoreMediaHelper::HasLatin1Chars(text), has);
}

SV_TEST_MAIN(TestMediaHelper)
#include "tst_mediahelper.moc"
