#include "support/testmain.h"

#include <QSettings>

#include "core/resultcodes.h"
#include "platform/wmp/simlibrary.h"
#include "platform/wmp/simplayer.h"
#include "players/wmp/axwidgetwmp.h"
#include "players/wmp/playerclientwmphelper.h"

using Platform::Wmp::CSimLibrary;
using Platform::Wmp::CSimPlayer;

namespace {

CSimPlayer* Sim()
{
    return CSimPlayer::Instance();
}

quint32 Song(const QString& title, const QString& artist, const QString& album)
{
    return Sim()->AddMedia({{"Title", title}, {"Author", artist}, {"WM/AlbumTitle", album}});
}

} // namespace

// The control host on the simulated player: connection, cached automation objects, statistics, ids.
class TestWmpHelper : public QObject
{
    Q_OBJECT
private:
    CPlayerClientWMPHelperObj* m_helper = nullptr;

    CPlayerClientWMPHelperObj* MakeHelper()
    {
        m_helper = new CPlayerClientWMPHelperObj();
        return m_helper;
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
        QTest::addColumn<bool>("ok");
        QTest::newRow("typed sink") << QStringList() << true;
        QTest::newRow("dispatch sink") << QStringList{"IWMPEvents"} << true;
        QTest::newRow("no sink") << QStringList{"IWMPEvents", "_WMPOCXEvents"} << false;
    }
    void initializeConnectsSink()
    {
        QFETCH(QStringList, unavailable);
        QFETCH(bool, ok);
        for (const QString& name : unavailable)
            Sim()->SetInterfaceAvailable(name, false);
        if (!unavailable.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, "CPlayerClientWMPHelper::Initialize: FindConnectionPoint(ev) failed 80040200");
        if (!ok)
            QTest::ignoreMessage(QtDebugMsg,
                                 "CPlayerClientWMPHelper::Initialize: FindConnectionPoint(ev.disp) failed 80040200");

        const HRESULT hr = MakeHelper()->Initialize();
        QCOMPARE(hr, ok ? S_OK : WMP_E_NOCONNECTION);
        QCOMPARE(m_helper->IsConnected(), ok);

        // The remote handshake attached the control to the player application.
        const auto& handshake = m_helper->GetWidget()->Handshake();
        QVERIFY(handshake.asked);
        QCOMPARE(handshake.serviceType, QStringLiteral("Remote"));
        QCOMPARE(handshake.applicationName, QStringLiteral("Sonvero"));
        QCOMPARE(handshake.scriptableObjectResult, E_NOTIMPL);
        QCOMPARE(handshake.customUiModeResult, E_NOTIMPL);
        QCOMPARE(m_helper->GetWidget()->AttachedPlayer(), Sim());
        if (!ok)
            return;

        // The player's events reach the handlers through either kind of sink.
        QTest::ignoreMessage(QtDebugMsg, "CPlayerClientWMPHelper::Error: ");
        QTest::ignoreMessage(QtDebugMsg, "CPlayerClientWMPHelper::Error: err=c00d1197");
        Sim()->RaiseError(MakeHResult(0xC00D1197u));
        Sim()->FlushEvents();
    }

    void disconnectLetsTheSinkGo()
    {
        // The connection holds the host: without Disconnect it could never be released, and the
        // player would call a deleted sink if it were.
        QCOMPARE(MakeHelper()->Initialize(), S_OK);
        QCOMPARE(Sim()->SinkCount(), 1);
        QCOMPARE(m_helper->GetRefCount(), 2);
        m_helper->Disconnect();
        QCOMPARE(Sim()->SinkCount(), 0);
        QCOMPARE(m_helper->GetRefCount(), 1);
        Sim()->SetRunning(true);
        Sim()->FlushEvents();
        QVERIFY(Sim()->DeliveredEvents().isEmpty());
    }

    void gettersCacheAndRetry()
    {
        QCOMPARE(MakeHelper()->Initialize(), S_OK);
        IWMPMediaCollection* collection = nullptr;
        Sim()->FailCall(QStringLiteral("IWMPPlayer4::get_mediaCollection"), E_OUTOFMEMORY);
        QTest::ignoreMessage(QtDebugMsg, "CPlayerClientWMPHelper::GetMediaCollection: get_mediaCollection failed 8007000e");
        QCOMPARE(m_helper->GetMediaCollection(&collection), E_OUTOFMEMORY);
        QVERIFY(!collection);
        // A failure caches nothing: the next calls fetch once and then share it.
        QCOMPARE(m_helper->GetMediaCollection(&collection), S_OK);
        QCOMPARE(m_helper->GetMediaCollection(&collection), S_OK);
        IWMPMediaCollection2* collection2 = nullptr;
        QCOMPARE(m_helper->GetMediaCollection2(&collection2), S_OK);
        QCOMPARE(Sim()->CallCount(QStringLiteral("IWMPPlayer4::get_mediaCollection")), 2);
        collection->Release();
        collection = nullptr;
        collection2->Release();

        Sim()->SetReturnNull(QStringLiteral("IWMPPlayer4::get_settings"), true);
        IWMPSettings* settings = nullptr;
        QTest::ignoreMessage(QtDebugMsg, "CPlayerClientWMPHelper::GetSettings: no interface");
        QCOMPARE(m_helper->GetSettings(&settings), E_FAIL);

        // A reconnection drops the cache.
        Sim()->Reconnect();
        QTest::ignoreMessage(QtDebugMsg, "CPlayerClientWMPHelper::PlayerReconnect:");
        Sim()->FlushEvents();
        QCOMPARE(m_helper->GetMediaCollection(&collection), S_OK);
        collection->Release();
        QCOMPARE(Sim()->CallCount(QStringLiteral("IWMPPlayer4::get_mediaCollection")), 3);
    }

    void attributeIndex()
    {
        QCOMPARE(MakeHelper()->Initialize(), S_OK);
        QCOMPARE(m_helper->GetMediaAttributeIndex(0), -1);
        QCOMPARE(m_helper->GetMediaAttributeIndex(10), -1);
        QCOMPARE(Sim()->CallCount(QStringLiteral("IWMPPlayer4::get_mediaCollection")), 0);

        const int title = m_helper->GetMediaAttributeIndex(CPlayerClientWMPHelper::AttributeTitle);
        QCOMPARE(title, int(CSimLibrary::AtomOf(Platform::Wmp::AttrTitle)));
        QCOMPARE(m_helper->GetMediaAttributeIndex(CPlayerClientWMPHelper::AttributeTitle), title);
        QCOMPARE(Sim()->CallCount(QStringLiteral("IWMPMediaCollection::getMediaAtom")), 1);

        Sim()->FailCall(QStringLiteral("IWMPMediaCollection::getMediaAtom"), E_FAIL);
        QTest::ignoreMessage(QtDebugMsg, "CPlayerClientWMPHelper::GetMediaAttributeIndex: getMediaAtom(9) failed 80004005");
        QCOMPARE(m_helper->GetMediaAttributeIndex(CPlayerClientWMPHelper::AttributeSyncMark), -1);
    }

    void statistics()
    {
        QCOMPARE(MakeHelper()->Initialize(), S_OK);
        Song("a", "Zed", "One");
        Song("b", "Amy", "One");
        Song("c", "Amy", "Two");
        Song("d", "", "Nobody");

        CArtistInfo artist;
        QCOMPARE(m_helper->GetArtistInfo(QStringLiteral("Amy"), 3, artist), S_OK);
        QCOMPARE(artist.flags, 3);
        QCOMPARE(artist.songCount, 2);
        QCOMPARE(artist.albumCount, 2);

        CAlbumInfo album;
        QCOMPARE(m_helper->GetAlbumInfo(QStringLiteral("One"), 3, album), S_OK);
        QCOMPARE(album.songCount, 2);
        QCOMPARE(album.artists, (QStringList{"Amy", "Zed"}));

        CAlbumInfo nobody;
        QCOMPARE(m_helper->GetAlbumInfo(QStringLiteral("Nobody"), 2, nobody), S_OK);
        QCOMPARE(nobody.flags, 2);
        QVERIFY(nobody.artists.isEmpty());

        // The artist of an artist's album is known without asking the player.
        Sim()->ResetCallCounts();
        CAlbumInfo both;
        QCOMPARE(m_helper->GetArtistAlbumInfo(QStringLiteral("Amy"), QStringLiteral("Two"), 2, both), S_OK);
        QCOMPARE(both.artists, QStringList{"Amy"});
        QCOMPARE(Sim()->CallCount(QStringLiteral("IWMPMediaCollection2::createQuery")), 0);
        QCOMPARE(m_helper->GetArtistAlbumInfo(QStringLiteral("Amy"), QStringLiteral("Two"), 1, both), S_OK);
        QCOMPARE(both.songCount, 1);

        // A failing second part keeps the first.
        Sim()->FailCall(QStringLiteral("IWMPMediaCollection2::getStringCollectionByQuery"), E_FAIL);
        QTest::ignoreMessage(
            QtDebugMsg, "CCPlayerClientWMPHelper::GetArtistInfo:[albumcount] getStringCollectionByQuery failed 80004005");
        CArtistInfo half;
        QCOMPARE(m_helper->GetArtistInfo(QStringLiteral("Zed"), 3, half), E_FAIL);
        QCOMPARE(half.flags, 1);
        QCOMPARE(half.songCount, 1);
    }

    void syncIds_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QUuid>("expected");
        const QUuid id = QUuid::createUuid();
        QTest::newRow("empty") << QString() << QUuid();
        QTest::newRow("malformed") << QStringLiteral("{not-a-uuid}") << QUuid();
        QTest::newRow("blanks around") << QStringLiteral("  ") + id.toString() + QStringLiteral(" ") << id;
    }
    void syncIds()
    {
        QFETCH(QString, stored);
        QFETCH(QUuid, expected);
        QSettings().setValue(QStringLiteral("plwmp/syncuuid"), stored);
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("CPlayerClientWMPHelper::CPlayerClientWMPHelper: "
                                                                   "sync uuid:{%1}")
                                                        .arg(expected.toString())));
        MakeHelper();
        QCOMPARE(m_helper->GetSyncUuid(), expected);
        QVERIFY(m_helper->GetPlaylistSyncUuid().isNull());

        const QUuid made = m_helper->NewPlaylistSyncUuid();
        QVERIFY(!made.isNull());
        QCOMPARE(QSettings().value(QStringLiteral("plwmp/plsyncuuid")).toString(), made.toString());
        const QUuid sync = m_helper->NewSyncUuid();
        QCOMPARE(QSettings().value(QStringLiteral("plwmp/syncuuid")).toString(), sync.toString());
        QVERIFY(sync != made);
    }

    void playTimer()
    {
        QCOMPARE(MakeHelper()->Initialize(), S_OK);
        m_helper->StartPlayTimer();
        QVERIFY(m_helper->IsPlayTimerActive());
        // Switching to the control or a reconnection cancel the pending play.
        Sim()->SwitchToControl();
        Sim()->FlushEvents();
        QVERIFY(!m_helper->IsPlayTimerActive());
        m_helper->StartPlayTimer();
        Sim()->Reconnect();
        Sim()->FlushEvents();
        QVERIFY(!m_helper->IsPlayTimerActive());

        m_helper->OnPlay();
        QCOMPARE(Sim()->CallCount(QStringLiteral("IWMPControls::play")), 1);
    }
};

SV_TEST_MAIN(TestWmpHelper)
#include "tst_wmphelper.moc"
