#include "support/testmain.h"

#include <QElapsedTimer>

#include "core/timerlist.h"

namespace {

// A background tick as operations have it: single-shot, restarted with a plain start() by its slot.
struct CTicker
{
    CTicker(int interval, int wantedTicks)
    {
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(interval);
        QObject::connect(&timer, &QTimer::timeout, [this, wantedTicks] {
            intervalsSeen.append(timer.interval());
            if (intervalsSeen.size() == 1)
                firstTickAt = clock.elapsed();
            if (intervalsSeen.size() < wantedTicks)
                timer.start();
        });
        clock.start();
    }
    QTimer timer;
    QElapsedTimer clock;
    QList<int> intervalsSeen;
    qint64 firstTickAt = -1;
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

        QTRY_COMPARE(ticker.intervalsSeen.size(), 3);
        // The owner sees its own interval from the delayed shot on, so its next ticks keep their pace.
        QCOMPARE(ticker.intervalsSeen, (QList<int>{interval, interval, interval}));
        const qint64 firstShot = ticker.firstTickAt - delayedAt;
        QVERIFY2(firstShot >= (delayed ? delay : interval) - 2, qPrintable(QString::number(firstShot)));
        QTRY_COMPARE(list.m_tickDelay, 0);
    }

    void delayTwiceAndDestroyedTimers()
    {
        CTimerList list(nullptr);
        QCOMPARE(list.AddTimer(nullptr), E_POINTER);
        CTicker ticker(30, 1);
        QCOMPARE(list.AddTimer(&ticker.timer), S_OK);
        QCOMPARE(list.AddTimer(&ticker.timer), S_FALSE);
        auto* gone = new QTimer;
        list.AddTimer(gone);
        gone->start(1000);
        ticker.timer.start();

        // A second delay before the first shot must not take the delayed interval for the owner's.
        list.DelayTimers(40, true);
        delete gone;
        list.DelayTimers(50, false);
        QCOMPARE(list.m_tickDelay, 50);
        QTRY_COMPARE(ticker.intervalsSeen.size(), 1);
        QCOMPARE(ticker.intervalsSeen.first(), 30);
        QVERIFY(!list.IsAnyTimerActive());
    }
};

SV_TEST_MAIN(TestTimerList)
#include "tst_timerlist.moc"
