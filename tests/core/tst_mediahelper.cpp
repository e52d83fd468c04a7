#include "support/testmain.h"

#include <QTemporaryDir>

#include "core/mediahelper.h"
#include "core/resultcodes.h"
#include "support/logcapture.h"
#include "support/mediawriter.h"

class TestMediaHelper : public QObject
{
    Q_OBJECT
private slots:
    void readBack_data()
    {
        QTest::addColumn<int>("id3v2");  // 0 = FLAC
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("artist");
        QTest::newRow("mp3 ID3v2.3") << 3 << "東京事変 — 群青日和" << "Καλημέρα κόσμε";
        QTest::newRow("mp3 ID3v2.4") << 4 << "Καλημέρα κόσμε" << "Кино";
        QTest::newRow("flac") << 0 << "Jùjú Laïkó" << "東京事変";
    }

    void readBack()
    {
        QFETCH(int, id3v2);
        QFETCH(QString, title);
        QFETCH(QString, artist);

        SvTest::CMediaTags tags;
        tags.title = title;
        tags.artist = artist;
        tags.album = QStringLiteral("Help!");
        QImage front(40, 30, QImage::Format_ARGB32);
        front.fill(Qt::red);
        QImage back(16, 16, QImage::Format_ARGB32);
        back.fill(QColor(10, 20, 30, 128));
        tags.pictures = {SvTest::CMediaPicture::FromImage(3, front), SvTest::CMediaPicture::FromImage(4, back)};
        const QString path = m_dir.filePath(QStringLiteral("Lied %1 ü.%2").arg(id3v2).arg(id3v2 ? "mp3" : "flac"));
        QVERIFY(id3v2 ? SvTest::WriteMp3(path, tags, id3v2) : SvTest::WriteFlac(path, tags));

        CFileMetadata metadata;
        QCOMPARE(CCoreMediaHelper::GetFileMetadata(path, metadata), S_OK);
        QCOMPARE(metadata.title, title);
        QCOMPARE(metadata.artist, artist);
        QCOMPARE(metadata.album, tags.album);
        QCOMPARE(metadata.id3v2Version, id3v2 ? id3v2 : -1);

        CCoreMediaHelper::CPictureTable pictures;
        QCOMPARE(CCoreMediaHelper::GetFileMetadataPictures(path, pictures), S_OK);
        QCOMPARE(pictures.keys(), (QList<int>{3, 4}));
        QCOMPARE(pictures.value(3).convertToFormat(QImage::Format_ARGB32), front);
        QCOMPARE(pictures.value(4).convertToFormat(QImage::Format_ARGB32), back);
    }

    void brokenFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");  // null = a folder of that name, "-" = no file
        QTest::addColumn<int>("code");
        QTest::newRow("text named .mp3") << "text.mp3" << QByteArray(2000, 'x') << int(E_FAIL);
        QTest::newRow("folder named .mp3") << "folder.mp3" << QByteArray() << int(E_FAIL);
        QTest::newRow("missing file") << "missing.mp3" << QByteArray("-") << int(SV_E_FILE_MISSING);
    }

    void brokenFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, code);
        const QString path = m_dir.filePath(name);
        if (bytes.isNull())
            QVERIFY(QDir().mkpath(path));
        else if (bytes != "-")
            QVERIFY(SvTest::WriteBytes(path, bytes));

        SvTest::CLogCapture log;
        CFileMetadata metadata;
        QCOMPARE(CCoreMediaHelper::GetFileMetadata(path, metadata), code);
        QCOMPARE(log.Lines(), QStringList{QStringLiteral("CCoreMediaHelper::GetFileMetadata: failed")});
        CCoreMediaHelper::CPictureTable pictures;
        pictures.insert(3, QImage(1, 1, QImage::Format_RGB32));
        QCOMPARE(CCoreMediaHelper::GetFileMetadataPictures(path, pictures), code);
        QVERIFY(pictures.isEmpty());
        CCoreMediaHelper::DumpFileMetadata(path);
        QVERIFY(log.Lines().last().startsWith(QStringLiteral("CCoreMediaHelper::DumpFileMetadata: failed")));
    }

    void formatLookup_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("code");
        QTest::newRow("upper-case mp3") << "/music/A.MP3" << 1 << 0x3009;
        QTest::newRow("mp4 shares the m4a entry") << "d.mp4" << 1 << 0xB982;
        QTest::newRow("m3u playlist") << "/device/Sonvero/Road Trip.m3u" << 2 << 0xBA11;
        QTest::newRow("suffix only as part") << "/music/v1.0/song.mp3.bak" << 0 << -1;
    }

    void formatLookup()
    {
        QFETCH(QString, name);
        QFETCH(int, type);
        QFETCH(int, code);
        const int index = CCoreMediaHelper::FindFormatEntry(name);
        QCOMPARE(index == CCoreMediaHelper::FormatTableEnd(), type == 0);
        QCOMPARE(CCoreMediaHelper::GetFormatTypeByIndex(index), type);
        QCOMPARE(CCoreMediaHelper::GetFormatTypeByFile(name), type);
        QCOMPARE(CCoreMediaHelper::GetDeviceFormatCodeByIndex(index), code);
    }

private:
    QTemporaryDir m_dir;
};

SV_TEST_MAIN(TestMediaHelper)
#include "tst_mediahelper.moc"
