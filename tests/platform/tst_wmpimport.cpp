#include "support/testmain.h"

#include "platform/wmp/simobjects.h"
#include "platform/wmp/simplayer.h"
#include "support/mediawriter.h"

using namespace Platform::Wmp;

class TestWmpImport : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    CSimPlayer* m_player = nullptr;

    QString Path(const QString& relative) const
    {
        return QDir::toNativeSeparators(QFileInfo(m_dir.filePath(relative)).absoluteFilePath());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const SvTest::CMediaTags one{"One", "Artist", "Album", "Rock", 3, 2001, {}};
        QVERIFY(SvTest::WriteMp3(Path(QStringLiteral("music/a/One.mp3")), one, 3));
        QVERIFY(SvTest::WriteMp3(Path(QStringLiteral("music/a/b/Untitled Song.mp3")), SvTest::CMediaTags(), 4));
        const SvTest::CMediaTags three{"Drei", "Künstler", "Äpfel 日本", {}, 0, 0, {}};
        QVERIFY(SvTest::WriteFlac(Path(QStringLiteral("music/c/Three.flac")), three));
        QVERIFY(SvTest::WriteBytes(Path(QStringLiteral("music/notes.txt")), QByteArray("not audio")));
    }

    void init()
    {
        SvTest::Environment()->Reset();
        m_player = new CSimPlayer();
    }

    void cleanup() { delete m_player; }

    // Values as "title|artist|album|track|genre|year|type".
    void importedValues_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ID3v2.3") << "music/a/One.mp3" << "One|Artist|Album|3|Rock|2001|audio";
        QTest::newRow("untagged, title from the file name")
            << "music/a/b/Untitled Song.mp3" << "Untitled Song||||||audio";
        QTest::newRow("FLAC, non-Latin") << "music/c/Three.flac" << "Drei|Künstler|Äpfel 日本||||audio";
    }

    void importedValues()
    {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        QCOMPARE(m_player->ImportFolder(Path(QStringLiteral("music"))), 3);
        const CMediaRef media = m_player->Library().FindByPath(Path(file));
        QVERIFY(media);
        QStringList values;
        for (const char* name : {"Title", "Author", "WM/AlbumTitle", "WM/TrackNumber", "WM/Genre", "ReleaseDateYear",
                                 "MediaType"})
            values << m_player->RawAttribute(media->id, QLatin1String(name));
        QCOMPARE(values.join(QLatin1Char('|')), expected);
        QCOMPARE(m_player->RawAttribute(media->id, QStringLiteral("SourceURL")), Path(file));
    }

    // The length comes from the audio; a known file is never added twice, by a new import or through the collection.
    void knownFilesStay()
    {
        QCOMPARE(m_player->ImportFolder(Path(QStringLiteral("music"))), 3);
        QCOMPARE(m_player->ImportFolder(Path(QStringLiteral("music"))), 0);
        const CMediaRef one = m_player->Library().FindByPath(Path(QStringLiteral("music/a/One.mp3")));
        // Some 40 silent frames: about a second.
        const double seconds = m_player->RawAttribute(one->id, QStringLiteral("Duration")).toDouble();
        QVERIFY2(seconds > 0.5 && seconds < 1.5, qPrintable(QString::number(seconds)));

        IWMPMediaCollection* collection = new CSimMediaCollection(m_player);
        IWMPMedia* media = nullptr;
        QCOMPARE(collection->add(Path(QStringLiteral("music/a/One.mp3")), &media), S_OK);
        QCOMPARE(m_player->Library().AudioCount(), 3);
        QCOMPARE(CSimMedia::RecordOf(media), one);
        media->Release();
        QCOMPARE(collection->add(Path(QStringLiteral("music/none.mp3")), &media), WMP_E_FILE_NOT_FOUND);
        QVERIFY(!media);
        collection->Release();
    }
};

SV_TEST_MAIN(TestWmpImport)
#include "tst_wmpimport.moc"
