#include "support/testmain.h"

#include <QMap>

#include "support/testapplicationobject.h"
#include "ui/lists/viewfillerbase.h"

using namespace MusicLists;

namespace {

// The fillers' clock, moved by the test and by the steps themselves.
qint64 g_now = 0;
qint64 FakeNow()
{
    return g_now;
}

// Lists "count" numbers; each step costs stepCost ms of the fake clock; -1 lists for ever.
class CNumberFiller : public CViewFillerBase
{
public:
    CNumberFiller(CListView* view, int count, int stepCost = 0)
        : CViewFillerBase(view, view), m_count(count), m_stepCost(stepCost)
    {
    }

    int m_count;
    int m_stepCost;
    int m_starts = 0;
    int m_completes = 0;
    int m_pendingInfo = 0;
    int m_shown = 0;
    int m_rowsAtStart = -1;
    QMap<int, int> m_stepsByTick;

protected:
    void DoStart() override
    {
        CViewFillerBase::DoStart();
        ++m_starts;
        m_rowsAtStart = m_view->GetItemCount();
        m_itemCount = m_count;
    }
    int DoTick() override
    {
        ++m_stepsByTick[GetTicksRun()];
        g_now += m_stepCost;
        if (m_itemCount >= 0 && m_itemIndex >= m_itemCount)
            return 0;
        AddItemToView(m_itemIndex++);
        return 1;
    }
    void AddItemToView(int index) override
    {
        CItem item(KindSong, index);
        item.SetThirdText(QString::number(index));
        m_view->AppendItem(item);
    }
    void DoComplete() override { ++m_completes; }
    void DoGetPendingInfo() override { ++m_pendingInfo; }
    void OnViewShown() override { ++m_shown; }
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
        CViewFillerBase::SetClock(&FakeNow);
    }
    void cleanup() { CViewFillerBase::SetClock(nullptr); }

    void stepsPerTick_data();
    void stepsPerTick();
    void passStartClearsTheView();
    void timerDelayIsRespected();
    void restartOnlyWhileVisible();
    void pendingInfoScheduling();
    void fillNowIsBounded();
};

void TestViewFiller::stepsPerTick_data()
{
    QTest::addColumn<int>("stepCost");
    QTest::addColumn<int>("steps");
    QTest::newRow("cheap steps: ten") << 0 << 10;
    QTest::newRow("1 ms steps: ten") << 1 << 10;
    QTest::newRow("3 ms steps: four") << 3 << 4;
    QTest::newRow("4 ms steps: three") << 4 << 3;
    QTest::newRow("slow step: one") << 25 << 1;
}

void TestViewFiller::stepsPerTick()
{
    QFETCH(int, stepCost);
    QFETCH(int, steps);
    CListView view;
    ShowView(view);
    CNumberFiller filler(&view, 40, stepCost);
    filler.Start();
    QTRY_COMPARE(filler.GetState(), int(CViewFillerBase::StateComplete));
    QCOMPARE(view.GetItemCount(), 40);
    QCOMPARE(filler.m_starts, 1);
    QCOMPARE(filler.m_completes, 1);
    // Every tick but the last (which sees the end) makes exactly that many steps.
    const QList<int> counts = filler.m_stepsByTick.values();
    for (int i = 0; i + 1 < counts.size(); ++i)
        QCOMPARE(counts.at(i), steps);
    QVERIFY(counts.last() <= steps);
}

void TestViewFiller::passStartClearsTheView()
{
    CListView view;
    ShowView(view);
    for (int id = 100; id < 105; ++id)
        view.AppendItem(CItem(KindSong, id));
    CNumberFiller filler(&view, 3);
    filler.Start();
    QTRY_COMPARE(filler.m_completes, 1);
    QCOMPARE(filler.m_rowsAtStart, 5);  // DoStart runs before the view is cleared
    QCOMPARE(view.GetItemCount(), 3);

    // A restart refills from scratch.
    filler.m_count = 4;
    filler.Start();
    QTRY_COMPARE(filler.m_completes, 2);
    QCOMPARE(filler.m_rowsAtStart, 3);
    QCOMPARE(view.GetItemCount(), 4);
    CItem first;
    QVERIFY(view.GetVisibleRowItem(0, first));
    QCOMPARE(first.Id(), 0);
}

void TestViewFiller::timerDelayIsRespected()
{
    SvTest::CTestApplicationObject app;
    CListView view;
    ShowView(view);
    CNumberFiller filler(&view, 30);
    QVERIFY(app.CallCount(QStringLiteral("RegisterTimer")) >= 1);

    app.TimerList()->m_tickDelay = 40;
    filler.Start();
    QVERIFY(app.IsBusy());  // the registered tick timer waits
    QTRY_VERIFY(filler.GetTicksRun() >= 2);
    QCOMPARE(view.GetItemCount(), 0);
    QCOMPARE(filler.m_stepsByTick.size(), 0);
    filler.FillNow();  // nothing either while the delay holds
    QCOMPARE(view.GetItemCount(), 0);

    app.TimerList()->m_tickDelay = 0;
    QTRY_COMPARE(filler.GetState(), int(CViewFillerBase::StateComplete));
    QCOMPARE(view.GetItemCount(), 30);
    QVERIFY(!app.IsBusy());
}

void TestViewFiller::restartOnlyWhileVisible()
{
    CListView view;
    CNumberFiller filler(&view, 5);
    filler.Start();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(filler.GetTicksRun(), 0);
    QCOMPARE(filler.GetState(), int(CViewFillerBase::StateIdle));

    ShowView(view);
    QCOMPARE(filler.m_shown, 1);
    QTRY_COMPARE(filler.m_completes, 1);
    QCOMPARE(view.GetItemCount(), 5);

    view.hide();
    filler.m_count = 7;
    filler.Start();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(view.GetItemCount(), 5);
    view.show();
    QCOMPARE(filler.m_shown, 2);
    QTRY_COMPARE(view.GetItemCount(), 7);
    QCOMPARE(filler.m_starts, 2);

    // A completed filler does not start again on show.
    view.hide();
    view.show();
    QCoreApplication::processEvents();
    QCOMPARE(filler.m_starts, 2);
}

void TestViewFiller::pendingInfoScheduling()
{
    CListView view;
    ShowView(view);
    CNumberFiller filler(&view, 0);
    filler.ScheduleGetPendingInfo();
    filler.ScheduleGetPendingInfo();
    QTRY_COMPARE(filler.m_pendingInfo, 1);
    QCoreApplication::processEvents();
    QCOMPARE(filler.m_pendingInfo, 1);

    filler.ScheduleGetPendingInfo();
    filler.StopGetPendingInfo();
    QCoreApplication::processEvents();
    QCOMPARE(filler.m_pendingInfo, 1);

    // Flagged rows coming on screen ask for it through the view.
    CItem row(KindAlbum, 1);
    row.SetFlags(0x05);
    view.AppendItem(row);
    QTRY_COMPARE(filler.m_pendingInfo, 2);
}

void TestViewFiller::fillNowIsBounded()
{
    CListView view;
    CNumberFiller endless(&view, -1, 1);  // 1 ms per step, never ends
    endless.Start();
    endless.FillNow();
    QCOMPARE(g_now, 200);
    QCOMPARE(view.GetItemCount(), 200);
    QCOMPARE(endless.GetState(), int(CViewFillerBase::StateFilling));

    // A short source is filled and completed at once.
    CListView other;
    CNumberFiller shortFiller(&other, 25);
    shortFiller.Start();
    shortFiller.FillNow();
    QCOMPARE(shortFiller.GetState(), int(CViewFillerBase::StateComplete));
    QCOMPARE(other.GetItemCount(), 25);
    QCOMPARE(shortFiller.m_completes, 1);
}

SV_TEST_MAIN(TestViewFiller)
#include "tst_viewfiller.moc"
