#include "support/testmain.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include "core/timerlist.h"

namespace {

// A background tick as operations have it: single-shot, restarted with a plain start() by its slot.
class CTicker : public QObject
{
public:
    CTicker(int interval, int wantedTicks)
        : m_wanted(wantedTicks)
    {
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(interval);
        connect(&timer, &QTimer::timeout, this, [this] {
            intervalsSeen.append(timer.interval());
            tickTimes.append(clock.elapsed());
            if (intervalsSeen.size() < m_wanted)
                timer.start();
        });
        clock.start();
    }

    QTimer timer;
    QElapsedTimer clock;
    QList<int> intervalsSeen;
    QList<qint64> tickTimes;

private:
    int m_wanted;
};

} // namespace

class TestTimerList : public QObject
{
    Q_OBJECT
private slots:
    void delayedShotAndOwnIntervalBack_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("delay");
        QTest::addColumn<bool>("oneTime");
        QTest::addColumn<bool>("delayed");

        QTest::newRow("0 ms tick, one-time") << 0 << 60 << true << true;
        QTest::newRow("0 ms tick, period") << 0 << 60 << false << true;
        QTest::newRow("below twice the delay") << 100 << 60 << true << true;
        QTest::newRow("at twice the delay") << 120 << 60 << true << false;
    }

    void delayedShotAndOwnIntervalBack()
    {
        QFETCH(int, interval);
        QFETCH(int, delay);
        QFETCH(bool, oneTime);
        QFETCH(bool, delayed);

        CTimerList list(nullptr);
        CTicker ticker(interval, 3);
        QCOMPARE(list.AddTimer(&ticker.timer), S_OK);
        ticker.timer.start();
        const qint64 delayedAt = ticker.clock.elapsed();
        list.DelayTimers(delay, oneTime);
        QCOMPARE(list.m_tickDelay, oneTime ? 0 : delay);
        QVERIFY(list.IsAnyTimerActive());

        QTRY_COMPARE(ticker.intervalsSeen.size(), 3);
        // The owner saw its own interval from the delayed shot on, so its next ticks keep its pace.
        QCOMPARE(ticker.intervalsSeen, QList<int>() << interval << interval << interval);
        QCOMPARE(ticker.timer.interval(), interval);
        const qint64 firstShot = ticker.tickTimes.first() - delayedAt;
        if (delayed)
            QVERIFY2(firstShot >= delay - 2, qPrintable(QString::number(firstShot)));
        else
            QVERIFY2(firstShot >= interval - 2, qPrintable(QString::number(firstShot)));
        QTRY_COMPARE(list.m_tickDelay, 0);
    }

    void untouchedTimers()
    {
        CTimerList list(nullptr);
        QTimer idle;
        idle.setSingleShot(true);
        idle.setInterval(0);
        QTimer repeating;
        repeating.setInterval(5);
        QTimer unlisted;
        unlisted.setSingleShot(true);
        unlisted.setInterval(0);
        list.AddTimer(&idle);
        list.AddTimer(&repeating);
        repeating.start();
        unlisted.start();

        list.DelayTimers(200, true);
        QVERIFY(!idle.isActive());
        QCOMPARE(repeating.interval(), 5);
        QSignalSpy unlistedSpy(&unlisted, &QTimer::timeout);
        QVERIFY(unlistedSpy.wait(1000));
        repeating.stop();
        QVERIFY(!list.IsAnyTimerActive());
    }

    void ownerChangesDuringTheDelay()
    {
        CTimerList list(nullptr);
        CTicker stopped(0, 1);
        CTicker restarted(0, 1);
        list.AddTimer(&stopped.timer);
        list.AddTimer(&restarted.timer);
        stopped.timer.start();
        restarted.timer.start();
        list.DelayTimers(500, true);

        // A stopped timer stays stopped; one restarted at the owner's own interval fires at it.
        stopped.timer.stop();
        restarted.timer.start(10);
        QTRY_COMPARE(restarted.intervalsSeen.size(), 1);
        QCOMPARE(restarted.intervalsSeen.first(), 10);  // not taken for the delayed shot (own interval 0)
        QVERIFY(stopped.intervalsSeen.isEmpty());
        QVERIFY(!stopped.timer.isActive());
    }

    void repeatedDelayKeepsTheOwnInterval()
    {
        CTimerList list(nullptr);
        CTicker ticker(30, 1);
        list.AddTimer(&ticker.timer);
        ticker.timer.start();
        list.DelayTimers(40, true);
        list.DelayTimers(50, false);
        QCOMPARE(list.m_tickDelay, 50);
        QTRY_COMPARE(ticker.intervalsSeen.size(), 1);
        QCOMPARE(ticker.intervalsSeen.first(), 30);
    }

    void listKeeping()
    {
        CTimerList list(nullptr);
        QCOMPARE(list.AddTimer(nullptr), E_POINTER);
        auto* timer = new QTimer;
        timer->setSingleShot(true);
        QCOMPARE(list.AddTimer(timer), S_OK);
        QCOMPARE(list.AddTimer(timer), S_FALSE);
        timer->start(1000);
        QVERIFY(list.IsAnyTimerActive());
        list.DelayTimers(100, true);
        delete timer;
        QVERIFY(!list.IsAnyTimerActive());
        list.DelayTimers(100, false);  // a destroyed timer is skipped
        QCOMPARE(list.m_tickDelay, 100);
        list.DelayTimers(0, false);
        QCOMPARE(list.m_tickDelay, 100);
    }
};

SV_TEST_MAIN(TestTimerList)
#include "tst_timerlist.moc"
