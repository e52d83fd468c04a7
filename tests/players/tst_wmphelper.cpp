#include "support/testmain.h"

#include <QRegularExpression>
#include <QSettings>

#include "core/resultcodes.h"
#include "platform/wmp/simlibrary.h"
#include "players/wmp/axwidgetwmp.h"
#include "players/wmp/playerclientwmphelper.h"
#include "wmptestsupport.h"

static int Calls(const char* method) { return Sim()->CallCount(QLatin1String(method)); }

// The control host on the simulated player: connection, cached automation objects, statistics, ids.
class TestWmpHelper : public QObject
{
    Q_OBJECT
private:
    CPlayerClientWMPHelperObj* m_helper = nullptr;

    HRESULT Connect()
    {
        m_helper = new CPlayerClientWMPHelperObj();
        return m_helper->Initialize();
    }

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        Sim()->Reset();
    }

    void cleanup()
    {
        if (m_helper) {
            m_helper->Disconnect();
            m_helper->Release();
            m_helper = nullptr;
        }
        QCOMPARE(Sim()->SinkCount(), 0);
    }

    void initializeConnectsSink_data()
    {
        QTest::addColumn<QStringList>("unavailable");
        QTest::addColumn<HRESULT>("result");
        QTest::newRow("typed sink") << QStringList() << S_OK;
        QTest::newRow("dispatch sink") << QStringList{"IWMPEvents"} << S_OK;
        QTest::newRow("no sink") << QStringList{"IWMPEvents", "_WMPOCXEvents"} << WMP_E_NOCONNECTION;
    }
    void initializeConnectsSink()
    {
        QFETCH(QStringList, unavailable);
        QFETCH(HRESULT, result);
        for (const QString& name : unavailable)
            Sim()->SetInterfaceAvailable(name, false);
        QCOMPARE(Connect(), result);
        QCOMPARE(m_helper->IsConnected(), result == S_OK);

        // The remote handshake attached the control to the player application.
        const auto& shake = m_helper->GetWidget()->Handshake();
        QVERIFY(shake.serviceType == "Remote" && shake.applicationName == "Sonvero" &&
                shake.scriptableObjectResult == E_NOTIMPL && shake.customUiModeResult == E_NOTIMPL);
        QCOMPARE(m_helper->GetWidget()->AttachedPlayer(), Sim());
        if (result != S_OK)
            return;

        // The player's events reach the handlers through either kind of sink.
        QTest::ignoreMessage(QtDebugMsg, "CPlayerClientWMPHelper::Error: err=c00d1197");
        Sim()->RaiseError(MakeHResult(0xC00D1197u));
        Sim()->FlushEvents();

        // The connection holds the host: without Disconnect it could never be released, and the
        // player would call a deleted sink if it were.
        QVERIFY(Sim()->SinkCount() == 1 && m_helper->GetRefCount() == 2);
        m_helper->Disconnect();
        QVERIFY(Sim()->SinkCount() == 0 && m_helper->GetRefCount() == 1);
        Sim()->ClearDeliveredEvents();
        Sim()->SetRunning(true);
        Sim()->FlushEvents();
        QVERIFY(Sim()->DeliveredEvents().isEmpty());
    }

    void cachedObjectsAndTimer()
    {
        QCOMPARE(Connect(), S_OK);
        IWMPMediaCollection* collection = nullptr;
        Sim()->FailCall(QStringLiteral("IWMPPlayer4::get_mediaCollection"), E_OUTOFMEMORY);
        QCOMPARE(m_helper->GetMediaCollection(&collection), E_OUTOFMEMORY);
        // A failure caches nothing: the next calls fetch once and then share it.
        QCOMPARE(m_helper->GetMediaCollection(&collection), S_OK);
        QCOMPARE(m_helper->GetMediaCollection(&collection), S_OK);
        collection->Release();
        collection = nullptr;
        IWMPMediaCollection2* collection2 = nullptr;
        QCOMPARE(m_helper->GetMediaCollection2(&collection2), S_OK);
        collection2->Release();
        QCOMPARE(Calls("IWMPPlayer4::get_mediaCollection"), 2);

        Sim()->SetReturnNull(QStringLiteral("IWMPPlayer4::get_settings"), true);
        IWMPSettings* settings = nullptr;
        QCOMPARE(m_helper->GetSettings(&settings), E_FAIL);

        // Switching to the control or a reconnection cancel the pending play; a reconnection drops the cache.
        m_helper->StartPlayTimer();
        QVERIFY(m_helper->IsPlayTimerActive());
        Sim()->SwitchToControl();
        Sim()->FlushEvents();
        QVERIFY(!m_helper->IsPlayTimerActive());
        m_helper->StartPlayTimer();
        Sim()->Reconnect();
        Sim()->FlushEvents();
        QVERIFY(!m_helper->IsPlayTimerActive());
        QCOMPARE(m_helper->GetMediaCollection(&collection), S_OK);
        collection->Release();
        QCOMPARE(Calls("IWMPPlayer4::get_mediaCollection"), 3);
        m_helper->OnPlay();
        QCOMPARE(Calls("IWMPControls::play"), 1);

        Sim()->ResetCallCounts();
        // Attribute numbers: out of range without asking, cached, -1 on failure.
        QCOMPARE(m_helper->GetMediaAttributeIndex(0), -1);
        QCOMPARE(m_helper->GetMediaAttributeIndex(10), -1);
        QCOMPARE(Calls("IWMPMediaCollection::getMediaAtom"), 0);

        const int title = m_helper->GetMediaAttributeIndex(CPlayerClientWMPHelper::AttributeTitle);
        QCOMPARE(title, int(Platform::Wmp::CSimLibrary::AtomOf(Platform::Wmp::AttrTitle)));
        QCOMPARE(m_helper->GetMediaAttributeIndex(CPlayerClientWMPHelper::AttributeTitle), title);
        QCOMPARE(Calls("IWMPMediaCollection::getMediaAtom"), 1);

        Sim()->FailCall(QStringLiteral("IWMPMediaCollection::getMediaAtom"), E_FAIL);
        QCOMPARE(m_helper->GetMediaAttributeIndex(CPlayerClientWMPHelper::AttributeSyncMark), -1);
    }

    void statistics()
    {
        QCOMPARE(Connect(), S_OK);
        for (const QStringList& song : {QStringList{"Zed", "One"}, {"Amy", "One"}, {"Amy", "Two"}, {"", "Nobody"}})
            Sim()->AddMedia({{"Title", "t"}, {"Author", song[0]}, {"WM/AlbumTitle", song[1]}});
        CArtistInfo artist;
        QCOMPARE(m_helper->GetArtistInfo("Amy", 3, artist), S_OK);
        QCOMPARE(QList<int>({artist.flags, artist.songCount, artist.albumCount}), QList<int>({3, 2, 2}));
        CAlbumInfo album, nobody;
        QCOMPARE(m_helper->GetAlbumInfo("One", 3, album), S_OK);
        QCOMPARE(album.songCount, 2);
        QCOMPARE(album.artists, (QStringList{"Amy", "Zed"}));
        QCOMPARE(m_helper->GetAlbumInfo("Nobody", 2, nobody), S_OK);
        QVERIFY(nobody.flags == 2 && nobody.artists.isEmpty());

        // The artist of an artist's album is known without asking the player.
        Sim()->ResetCallCounts();
        CAlbumInfo both;
        QCOMPARE(m_helper->GetArtistAlbumInfo("Amy", "Two", 2, both), S_OK);
        QCOMPARE(both.artists, QStringList{"Amy"});
        QCOMPARE(Calls("IWMPMediaCollection2::createQuery"), 0);
        QCOMPARE(m_helper->GetArtistAlbumInfo("Amy", "Two", 1, both), S_OK);
        QCOMPARE(both.songCount, 1);

        // A failing second part keeps the first.
        Sim()->FailCall(QStringLiteral("IWMPMediaCollection2::getStringCollectionByQuery"), E_FAIL);
        CArtistInfo half;
        QCOMPARE(m_helper->GetArtistInfo("Zed", 3, half), E_FAIL);
        QVERIFY(half.flags == 1 && half.songCount == 1);
    }

    void syncIds_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QUuid>("expected");
        const QUuid id = QUuid::createUuid();
        QTest::newRow("empty") << QString() << QUuid();
        QTest::newRow("malformed") << QStringLiteral("{not-a-uuid}") << QUuid();
        QTest::newRow("blanks around") << "  " + id.toString() + " " << id;
    }
    void syncIds()
    {
        QFETCH(QString, stored);
        QFETCH(QUuid, expected);
        QSettings().setValue("plwmp/syncuuid", stored);
        m_helper = new CPlayerClientWMPHelperObj();
        QCOMPARE(m_helper->GetSyncUuid(), expected);
        QVERIFY(m_helper->GetPlaylistSyncUuid().isNull());

        // New ids are logged and stored braced, where the next host reads them.
        const QString logged = QStringLiteral("^CPlayerClientWMPHelper::%1: new sync uuid:\\{\\{[0-9a-f-]{36}\\}\\}$");
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(logged.arg("NewSyncUuid")));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(logged.arg("NewPlaylistSyncUuid")));
        const QUuid sync = m_helper->NewSyncUuid();
        const QUuid playlists = m_helper->NewPlaylistSyncUuid();
        QVERIFY(!sync.isNull() && !playlists.isNull() && sync != playlists);
        QCOMPARE(m_helper->GetSyncUuid(), sync);
        QCOMPARE(QSettings().value("plwmp/syncuuid").toString(), sync.toString());
        QCOMPARE(QSettings().value("plwmp/plsyncuuid").toString(), playlists.toString());
    }
};

SV_TEST_MAIN(TestWmpHelper)
#include "tst_wmphelper.moc"
