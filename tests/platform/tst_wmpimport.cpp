#include "support/testmain.h"

#include <QSettings>
#include <QStandardPaths>

#include "platform/wmp/simobjects.h"
#include "platform/wmp/simplayer.h"
#include "support/mediawriter.h"

using namespace Platform::Wmp;

namespace {

// Counts the library-wide events an import sends.
class CCountingSink final : public _WMPOCXEvents
{
public:
    QStringList names;
    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        const bool known = iid == IID_IUnknown || iid == DIID__WMPOCXEvents;
        *object = known ? static_cast<_WMPOCXEvents*>(this) : nullptr;
        return known ? S_OK : E_NOINTERFACE;
    }
    quint32 AddRef() override { return 2; }
    quint32 Release() override { return 1; }
    HRESULT Invoke(const QString& name, const QVariantList&) override
    {
        names << name;
        return S_OK;
    }
};

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

class TestWmpImport : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    CSimPlayer* m_player = nullptr;

    QString Path(const QString& relative) const { return m_dir.filePath(relative); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        SvTest::CMediaTags one;
        one.title = QStringLiteral("One");
        one.artist = QStringLiteral("Artist");
        one.album = QStringLiteral("Album");
        one.genre = QStringLiteral("Rock");
        one.track = 3;
        one.year = 2001;
        QVERIFY(SvTest::WriteMp3(Path(QStringLiteral("music/a/One.mp3")), one, 3));
        QVERIFY(SvTest::WriteMp3(Path(QStringLiteral("music/a/b/Untitled Song.mp3")), SvTest::CMediaTags(), 4));
        SvTest::CMediaTags three;
        three.title = QStringLiteral("Drei");
        three.artist = QStringLiteral("Künstler");
        three.album = QStringLiteral("Äpfel 日本");
        QVERIFY(SvTest::WriteFlac(Path(QStringLiteral("music/c/Three.flac")), three));
        QVERIFY(SvTest::WriteBytes(Path(QStringLiteral("music/notes.txt")), QByteArray("not audio")));
    }

    void init()
    {
        SvTest::Environment()->Reset();
        m_player = new CSimPlayer();
    }

    void cleanup()
    {
        delete m_player;
    }

    void importedValues_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("attribute");
        QTest::addColumn<QString>("expected");
        const QString one = QStringLiteral("music/a/One.mp3");
        const QString untitled = QStringLiteral("music/a/b/Untitled Song.mp3");
        const QString three = QStringLiteral("music/c/Three.flac");
        QTest::newRow("title") << one << "Title" << "One";
        QTest::newRow("artist") << one << "Author" << "Artist";
        QTest::newRow("album") << one << "WM/AlbumTitle" << "Album";
        QTest::newRow("track") << one << "WM/TrackNumber" << "3";
        QTest::newRow("genre") << one << "WM/Genre" << "Rock";
        QTest::newRow("year") << one << "ReleaseDateYear" << "2001";
        QTest::newRow("media type") << one << "MediaType" << "audio";
        QTest::newRow("title from the file name") << untitled << "Title" << "Untitled Song";
        QTest::newRow("no album") << untitled << "WM/AlbumTitle" << "";
        QTest::newRow("non-Latin album (FLAC)") << three << "WM/AlbumTitle" << "Äpfel 日本";
    }

    void importedValues()
    {
        QFETCH(QString, file);
        QFETCH(QString, attribute);
        QFETCH(QString, expected);
        QCOMPARE(m_player->ImportFolder(Path(QStringLiteral("music"))), 3);
        const CMediaRef media = m_player->Library().FindByPath(Native(Path(file)));
        QVERIFY(media);
        QCOMPARE(m_player->RawAttribute(media->id, attribute), expected);
        QCOMPARE(m_player->RawAttribute(media->id, QStringLiteral("SourceURL")), Native(Path(file)));
    }

    void importOnceWithOneEvent()
    {
        CCountingSink sink;
        m_player->RegisterSink(this, DIID__WMPOCXEvents, &sink);
        QCOMPARE(m_player->ImportFolder(Path(QStringLiteral("music"))), 3);
        QCOMPARE(m_player->ImportFolder(Path(QStringLiteral("music"))), 0);
        QCOMPARE(m_player->Library().AudioCount(), 3);
        m_player->FlushEvents();
        QCOMPARE(sink.names, QStringList{"MediaCollectionChange"});
        m_player->UnregisterSinks(this);

        // Some 40 silent frames: about a second.
        const CMediaRef one = m_player->Library().FindByPath(Native(Path(QStringLiteral("music/a/One.mp3"))));
        const double seconds = m_player->RawAttribute(one->id, QStringLiteral("Duration")).toDouble();
        QVERIFY2(seconds > 0.5 && seconds < 1.5, qPrintable(QString::number(seconds)));
    }

    void addThroughTheCollection()
    {
        IWMPMediaCollection* collection = new CSimMediaCollection(m_player);
        const QString one = Path(QStringLiteral("music/a/One.mp3"));
        IWMPMedia* first = nullptr;
        IWMPMedia* again = nullptr;
        QCOMPARE(collection->add(one, &first), S_OK);
        QCOMPARE(collection->add(one, &again), S_OK);
        bool same = false;
        first->get_isIdentical(again, &same);
        QVERIFY(same);
        QCOMPARE(m_player->Library().AudioCount(), 1);

        IWMPMedia* missing = nullptr;
        QCOMPARE(collection->add(Path(QStringLiteral("music/none.mp3")), &missing), WMP_E_FILE_NOT_FOUND);
        QVERIFY(!missing);

        // A player that reads the tags its own way.
        const QString three = Path(QStringLiteral("music/c/Three.flac"));
        m_player->SetTagOverride(three, {{"Title", "drei"}});
        IWMPMedia* third = nullptr;
        QCOMPARE(collection->add(three, &third), S_OK);
        QString title, artist;
        third->get_name(&title);
        third->getItemInfo(QStringLiteral("Author"), &artist);
        QCOMPARE(title, QStringLiteral("drei"));
        QCOMPARE(artist, QStringLiteral("Künstler"));

        // Removing with the file flag deletes the file; without it the file stays.
        const QString copy = Path(QStringLiteral("copy.mp3"));
        QVERIFY(QFile::copy(one, copy));
        IWMPMedia* copied = nullptr;
        collection->add(copy, &copied);
        QCOMPARE(collection->remove(first, false), S_OK);
        QVERIFY(QFile::exists(one));
        QCOMPARE(collection->remove(copied, true), S_OK);
        QVERIFY(!QFile::exists(copy));
        for (IUnknown* object : std::initializer_list<IUnknown*>{first, again, third, copied, collection})
            object->Release();
    }

    void musicFolderImportedOnce()
    {
        QCOMPARE(CSimPlayer::MusicFolder(), QStandardPaths::writableLocation(QStandardPaths::MusicLocation));
        const QString folder = Path(QStringLiteral("music/a"));
        QSettings().setValue(QStringLiteral("platform/music_folder"), folder);
        QCOMPARE(CSimPlayer::MusicFolder(), folder);
        m_player->ImportMusicFolderOnce();
        QCOMPARE(m_player->Library().AudioCount(), 2);
        QSettings().setValue(QStringLiteral("platform/music_folder"), Path(QStringLiteral("music")));
        m_player->ImportMusicFolderOnce();
        QCOMPARE(m_player->Library().AudioCount(), 2);
    }
};

SV_TEST_MAIN(TestWmpImport)
#include "tst_wmpimport.moc"
