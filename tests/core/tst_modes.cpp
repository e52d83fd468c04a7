#include "support/testmain.h"

#include <QSignalSpy>

#include "core/appmodemanager.h"

class TestModes : public QObject
{
    Q_OBJECT
private slots:
    void requestMatrix_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("result");    // 0, 1, or -1 for any failure
        QTest::addColumn<int>("modeAfter"); // once the event loop has run

        QTest::newRow("normal, update") << 2 << 3 << 1 << 3;
        QTest::newRow("normal, messages") << 2 << 4 << 1 << 4;
        QTest::newRow("update, update") << 3 << 3 << 0 << 3;
        QTest::newRow("update, messages") << 3 << 4 << 1 << 3;
        QTest::newRow("messages, update") << 4 << 3 << 1 << 4;
        QTest::newRow("starting, update") << 0 << 3 << 1 << 0;
        QTest::newRow("quitting, update") << 1 << 3 << -1 << 1;
        QTest::newRow("quitting, messages") << 1 << 4 << -1 << 1;
        QTest::newRow("normal, starting") << 2 << 0 << -1 << 2;
        QTest::newRow("normal, quitting") << 2 << 1 << -1 << 2;
        QTest::newRow("normal, normal") << 2 << 2 << -1 << 2;
        QTest::newRow("update, normal") << 3 << 2 << -1 << 3;
        QTest::newRow("normal, unknown") << 2 << 5 << -1 << 2;
        QTest::newRow("normal, negative") << 2 << -1 << -1 << 2;
    }

    void requestMatrix()
    {
        QFETCH(int, current);
        QFETCH(int, requested);
        QFETCH(int, result);
        QFETCH(int, modeAfter);

        CAppModeManager manager(nullptr);
        if (current != 0)
            manager.SetMode(current);
        QSignalSpy spy(&manager, &CAppModeManagerBase::WhenModeChanged);

        const HRESULT hr = manager.RequestMode(requested);
        if (result < 0)
            QVERIFY(FAILED(hr));
        else
            QCOMPARE(hr, HRESULT(result));
        // A grant never happens inside the request: the asker's stage must be waiting first.
        QCOMPARE(manager.m_mode, current);
        QCOMPARE(spy.count(), 0);

        if (modeAfter != current) {
            QTRY_COMPARE(manager.m_mode, modeAfter);
            QCOMPARE(spy.count(), 1);
        } else {
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
            QCOMPARE(manager.m_mode, current);
            QCOMPARE(spy.count(), 0);
        }
    }

    void releaseMatrix_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("queued");     // 0 = nothing queued
        QTest::addColumn<int>("released");
        QTest::addColumn<int>("result");     // 0, 1, or -1 for any failure
        QTest::addColumn<int>("modeAfter");  // once the event loop has run
        QTest::addColumn<int>("changes");    // WhenModeChanged() emissions after the release

        QTest::newRow("current, nothing queued") << 3 << 0 << 3 << 0 << 2 << 1;
        QTest::newRow("current, next granted") << 3 << 4 << 3 << 0 << 4 << 2;
        QTest::newRow("queued one dropped") << 3 << 4 << 4 << 0 << 3 << 0;
        QTest::newRow("not held") << 3 << 0 << 4 << 1 << 3 << 0;
        QTest::newRow("normal mode refused") << 3 << 0 << 2 << -1 << 3 << 0;
        QTest::newRow("nothing held in normal") << 2 << 0 << 3 << 1 << 2 << 0;
    }

    void releaseMatrix()
    {
        QFETCH(int, current);
        QFETCH(int, queued);
        QFETCH(int, released);
        QFETCH(int, result);
        QFETCH(int, modeAfter);
        QFETCH(int, changes);

        CAppModeManager manager(nullptr);
        manager.SetMode(current);
        if (queued)
            QCOMPARE(manager.RequestMode(queued), S_FALSE);
        QSignalSpy spy(&manager, &CAppModeManagerBase::WhenModeChanged);

        const HRESULT hr = manager.ReleaseMode(released);
        if (result < 0)
            QVERIFY(FAILED(hr));
        else
            QCOMPARE(hr, HRESULT(result));
        QTRY_COMPARE(manager.m_mode, modeAfter);
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), changes);
    }

    void queuedModeFollowsTheOneAhead()
    {
        // An update is running; system messages wait behind it and run once the update lets go.
        CAppModeManager manager(nullptr);
        manager.SetMode(2);
        QCOMPARE(manager.RequestMode(3), S_FALSE);
        QTRY_COMPARE(manager.m_mode, 3);
        QCOMPARE(manager.RequestMode(4), S_FALSE);
        QCOMPARE(manager.RequestMode(4), S_FALSE);  // asked twice, queued once
        QCOMPARE(manager.QueuedModes(), QList<int>() << 4);

        QSignalSpy spy(&manager, &CAppModeManagerBase::WhenModeChanged);
        QTest::ignoreMessage(QtDebugMsg, "CAppModeManager::SetMode: 3 -> 2");
        QTest::ignoreMessage(QtDebugMsg, "CAppModeManager::SetMode: 2 -> 4");
        QCOMPARE(manager.ReleaseMode(3), S_OK);
        QCOMPARE(manager.m_mode, 2);
        QTRY_COMPARE(manager.m_mode, 4);
        QCOMPARE(spy.count(), 2);
        QVERIFY(manager.QueuedModes().isEmpty());

        QCOMPARE(manager.ReleaseMode(4), S_OK);
        QCOMPARE(manager.m_mode, 2);
    }

    void startUpGrantsWhatWaited()
    {
        CAppModeManager manager(nullptr);
        QCOMPARE(manager.RequestMode(4), S_FALSE);
        QCoreApplication::processEvents();
        QCOMPARE(manager.m_mode, 0);
        manager.SetMode(2);
        QTRY_COMPARE(manager.m_mode, 4);
    }

    void quittingDropsTheQueue()
    {
        CAppModeManager manager(nullptr);
        manager.SetMode(2);
        QCOMPARE(manager.RequestMode(3), S_FALSE);
        QCOMPARE(manager.RequestMode(4), S_FALSE);
        manager.SetMode(1);  // before the grant arrives
        QVERIFY(manager.QueuedModes().isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(manager.m_mode, 1);
        QVERIFY(FAILED(manager.RequestMode(3)));
        QVERIFY(manager.QueuedModes().isEmpty());
    }

    void setModeLogsAndEmitsOnChangeOnly()
    {
        CAppModeManager manager(nullptr);
        QSignalSpy spy(&manager, &CAppModeManagerBase::WhenModeChanged);
        QTest::ignoreMessage(QtDebugMsg, "CAppModeManager::SetMode: 0 -> 2");
        manager.SetMode(2);
        manager.SetMode(2);
        QCOMPARE(spy.count(), 1);
        manager.SetMode(7);
        QCOMPARE(manager.m_mode, 2);
        QCOMPARE(spy.count(), 1);
    }
};

SV_TEST_MAIN(TestModes)
#include "tst_modes.moc"
