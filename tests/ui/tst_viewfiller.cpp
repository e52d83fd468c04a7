#include "support/testmain.h"

#include "support/testapplicationobject.h"
#include "ui/lists/viewfillerbase.h"

using namespace MusicLists;

namespace {

// The fillers' clock, moved by the steps themselves.
qint64 g_now = 0;

// Lists "count" numbers; each step costs stepCost ms of the fake clock; -1 lists for ever.
class CNumberFiller : public CViewFillerBase
{
public:
    CNumberFiller(CListView* view, int count, int cost = 0) : CViewFillerBase(view, view), m_count(count), m_stepCost(cost) {}
    int m_count;
    int m_stepCost;
    int m_completes = 0;
    int m_pendingInfo = 0;
    int m_rowsAtStart = -1;
    QMap<int, int> m_stepsByTick;

protected:
    void DoStart() override
    {
        CViewFillerBase::DoStart();
        m_rowsAtStart = m_view->GetItemCount();
        m_itemCount = m_count;
    }
    int DoTick() override
    {
        ++m_stepsByTick[GetTicksRun()];
        g_now += m_stepCost;
        if (m_itemCount >= 0 && m_itemIndex >= m_itemCount)
            return 0;
        m_view->AppendItem(CItem(KindSong, m_itemIndex++));
        return 1;
    }
    void DoComplete() override { ++m_completes; }
    void DoGetPendingInfo() override { ++m_pendingInfo; }
};

void ShowView(CListView& view)
{
    view.resize(300, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
}

} // namespace

class TestViewFiller : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        g_now = 0;
        CViewFillerBase::SetClock([]() { return g_now; });
    }
    void cleanup() { CViewFillerBase::SetClock(nullptr); }

    void stepsPerTick_data()
    {
        QTest::addColumn<int>("stepCost");
        QTest::addColumn<int>("steps");
        QTest::newRow("cheap steps: ten") << 0 << 10;
        QTest::newRow("3 ms steps: four") << 3 << 4;
        QTest::newRow("slow step: one") << 25 << 1;
    }

    void stepsPerTick()
    {
        QFETCH(int, stepCost);
        QFETCH(int, steps);
        CListView view;
        ShowView(view);
        CNumberFiller filler(&view, 40, stepCost);
        filler.Start();
        QTRY_COMPARE(filler.m_completes, 1);
        QCOMPARE(view.GetItemCount(), 40);
        // Every tick but the last (which sees the end) makes exactly that many steps.
        const QList<int> counts = filler.m_stepsByTick.values();
        for (int i = 0; i + 1 < counts.size(); ++i)
            QCOMPARE(counts.at(i), steps);
        QVERIFY(counts.last() <= steps);
    }

    void timerDelayIsRespected()
    {
        SvTest::CTestApplicationObject app;
        CListView view;
        ShowView(view);
        CNumberFiller filler(&view, 30);
        app.TimerList()->m_tickDelay = 40;
        filler.Start();
        QTRY_VERIFY(filler.GetTicksRun() >= 2);
        filler.FillNow();
        QCOMPARE(filler.m_stepsByTick.size(), 0);
        QCOMPARE(view.GetItemCount(), 0);
        app.TimerList()->m_tickDelay = 0;
        QTRY_COMPARE(view.GetItemCount(), 30);
    }

    void passStartClearsTheViewAndRestartsOnlyWhileVisible()
    {
        CListView view;
        for (int id = 100; id < 105; ++id)
            view.AppendItem(CItem(KindSong, id));
        CNumberFiller filler(&view, 3);
        filler.Start();
        QCoreApplication::processEvents();
        QCOMPARE(filler.GetTicksRun(), 0);
        ShowView(view);
        QTRY_COMPARE(filler.m_completes, 1);
        QCOMPARE(filler.m_rowsAtStart, 5);  // DoStart runs before the view is cleared
        QCOMPARE(view.GetItemCount(), 3);

        view.hide();
        filler.m_count = 7;
        filler.Start();
        QCoreApplication::processEvents();
        QCOMPARE(view.GetItemCount(), 3);
        view.show();
        QTRY_COMPARE(view.GetItemCount(), 7);
        // A completed filler does not start again on show.
        view.hide();
        view.show();
        QCoreApplication::processEvents();
        QCOMPARE(filler.m_completes, 2);
    }

    void pendingInfoScheduling()
    {
        CListView view;
        ShowView(view);
        CNumberFiller filler(&view, 0);
        filler.ScheduleGetPendingInfo();
        filler.ScheduleGetPendingInfo();
        QTRY_COMPARE(filler.m_pendingInfo, 1);
        filler.ScheduleGetPendingInfo();  // the stopped one never runs
        filler.StopGetPendingInfo();
        QCoreApplication::processEvents();
        QCOMPARE(filler.m_pendingInfo, 1);
        // Flagged rows coming on screen ask for it through the view.
        CItem row(KindAlbum, 1);
        row.SetFlags(0x05);
        view.AppendItem(row);
        QTRY_COMPARE(filler.m_pendingInfo, 2);
    }

    void fillNowIsBounded()
    {
        CListView view;
        CNumberFiller endless(&view, -1, 1);  // 1 ms per step, never ends
        endless.Start();
        endless.FillNow();
        QCOMPARE(g_now, 200);
        QCOMPARE(view.GetItemCount(), 200);
        QCOMPARE(endless.GetState(), int(CViewFillerBase::StateFilling));
    }
};

SV_TEST_MAIN(TestViewFiller)
#include "tst_viewfiller.moc"
