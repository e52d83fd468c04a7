#include "support/testmain.h"

#include <QSignalSpy>

#include "core/appmodemanager.h"

// Modes: 0 starting, 1 quitting, 2 normal, 3 update, 4 system messages.
class TestModes : public QObject
{
    Q_OBJECT
private slots:
    void requestAndRelease_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("queued");     // asked for (twice) before; 0 = nothing
        QTest::addColumn<int>("action");     // mode requested, or minus the mode released
        QTest::addColumn<int>("result");     // 0, 1, or -1 for any failure
        QTest::addColumn<int>("modeAfter");  // once the event loop has run
        QTest::addColumn<int>("changes");    // WhenModeChanged() emissions
        QTest::newRow("request update in normal") << 2 << 0 << 3 << 1 << 3 << 1;
        QTest::newRow("request update in update") << 3 << 0 << 3 << 0 << 3 << 0;
        QTest::newRow("request messages in update") << 3 << 0 << 4 << 1 << 3 << 0;
        QTest::newRow("request update while quitting") << 1 << 0 << 3 << -1 << 1 << 0;
        QTest::newRow("release current") << 3 << 0 << -3 << 0 << 2 << 1;
        QTest::newRow("release current, queued one granted") << 3 << 4 << -3 << 0 << 4 << 2;
        QTest::newRow("release queued one") << 3 << 4 << -4 << 0 << 3 << 0;
        QTest::newRow("release one not held") << 3 << 0 << -4 << 1 << 3 << 0;
        QTest::newRow("release normal") << 3 << 0 << -2 << -1 << 3 << 0;
    }

    void requestAndRelease()
    {
        QFETCH(int, current);
        QFETCH(int, queued);
        QFETCH(int, action);
        QFETCH(int, result);
        QFETCH(int, modeAfter);
        QFETCH(int, changes);
        CAppModeManager manager(nullptr);
        if (current != 0)
            manager.SetMode(current);
        if (queued) {
            QCOMPARE(manager.RequestMode(queued), S_FALSE);
            QCOMPARE(manager.RequestMode(queued), S_FALSE);
            QCOMPARE(manager.QueuedModes(), QList<int>{queued});  // asked twice, queued once
        }
        QSignalSpy spy(&manager, &CAppModeManagerBase::WhenModeChanged);
        const HRESULT hr = action > 0 ? manager.RequestMode(action) : manager.ReleaseMode(-action);
        QVERIFY(result < 0 ? FAILED(hr) : hr == HRESULT(result));
        // A grant never happens inside the request: the asker's stage must be waiting first.
        if (action > 0)
            QCOMPARE(manager.m_mode, current);
        QTRY_COMPARE(manager.m_mode, modeAfter);
        QCoreApplication::processEvents();
        QCOMPARE(manager.m_mode, modeAfter);
        QCOMPARE(spy.count(), changes);
    }

    void queueAcrossStartAndQuit()
    {
        // What waited during start-up is granted once the program runs normally.
        CAppModeManager manager(nullptr);
        QCOMPARE(manager.RequestMode(4), S_FALSE);
        QCoreApplication::processEvents();
        QCOMPARE(manager.m_mode, 0);
        manager.SetMode(2);
        QTRY_COMPARE(manager.m_mode, 4);

        // Quitting drops the queue, even a grant already on its way.
        QCOMPARE(manager.ReleaseMode(4), S_OK);
        QCOMPARE(manager.RequestMode(3), S_FALSE);
        QCOMPARE(manager.RequestMode(4), S_FALSE);
        manager.SetMode(1);
        QVERIFY(manager.QueuedModes().isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(manager.m_mode, 1);
    }
};

SV_TEST_MAIN(TestModes)
#include "tst_modes.moc"
