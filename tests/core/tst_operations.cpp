#include "support/testmain.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <algorithm>
#include <functional>

#include "core/coreoperationbase.h"
#include "core/operationsimplewait.h"
#include "core/resultcodes.h"
#include "support/testapplicationobject.h"

namespace {

// Stages 1 "First" (Start, Body), 2 "Second" (Start only), 3 "Third" (Start, Body); stage 4 has no
// descriptor. Each step takes the next entry of the script: "S1=0>2" is the Start of stage 1 returning 0
// after choosing stage 2 as the next one (">C": completed); "B3=0x80004003" a Body of stage 3 failing.
class CScriptedOperation : public CCoreOperationBase
{
public:
    explicit CScriptedOperation(QObject* parent = nullptr) : CCoreOperationBase(parent, QStringLiteral("Scripted"), 5)
    {
        AddStageDesc(1, "First", this, &CScriptedOperation::Step<'S', 1>, &CScriptedOperation::Step<'B', 1>);
        AddStageDesc(2, "Second", this, &CScriptedOperation::Step<'S', 2>);
        AddStageDesc(3, "Third", this, &CScriptedOperation::Step<'S', 3>, &CScriptedOperation::Step<'B', 3>);
    }

    QStringList script;
    QStringList trace;
    std::function<void(const QString& label)> beforeResult;  // runs inside the step
    QList<int> stopCodes;
    QPointer<CCoreOperationBase>& StageOperation() { return m_stageOperation; }
    void SetItems(int index, int count) { m_itemIndex = index, m_itemCount = count; }

protected:
    void DoStop(int err) override { stopCodes.append(err); }

private:
    template <char Kind, int Stage>
    int Step()
    {
        const QString label = QLatin1Char(Kind) + QString::number(Stage);
        trace.append(label);
        if (script.isEmpty() || script.first().section(QLatin1Char('='), 0, 0) != label)
            return E_UNEXPECTED;
        const QString rest = script.takeFirst().section(QLatin1Char('='), 1);
        const QString next = rest.section(QLatin1Char('>'), 1);
        if (next == QLatin1String("C"))
            SetNextStageCompleted();
        else if (!next.isEmpty())
            SetNextStage(next.toInt());
        if (beforeResult)
            beforeResult(label);
        return int(rest.section(QLatin1Char('>'), 0, 0).toUInt(nullptr, 0));
    }
};

QList<double> Values(const QSignalSpy& spy)
{
    QList<double> values;
    for (const auto& args : spy)
        values.append(args.at(0).toDouble());
    return values;
}

} // namespace

class TestOperations : public QObject
{
    Q_OBJECT
private slots:
    void stepResults_data()
    {
        QTest::addColumn<QStringList>("script");  // run to its end, nothing more
        QTest::addColumn<quint32>("result");
        QTest::addColumn<QStringList>("logs");
        const QString failed = QStringLiteral("CCoreOperationBase::OnTimerTick:[Scripted] First failed %1 (st=1)");
        const QString noNext = QStringLiteral("CCoreOperationBase::OnTimerTick:[Scripted] First no next stage (st=1)");
        QTest::newRow("Start 0, 1, 2; Body 1, 0") << QStringList{"S1=0>3", "S3=1", "B3=1", "B3=0>2", "S2=2>C"} << 0u << QStringList();
        QTest::newRow("Start negative") << QStringList{"S1=0x80070005>2"} << 0x80070005u << QStringList{failed.arg("80070005")};
        QTest::newRow("Start, no next stage") << QStringList{"S1=0"} << 0x80004005u << QStringList{noNext};
        QTest::newRow("Body negative") << QStringList{"S1=1", "B1=0x80004003"} << 0x80004003u << QStringList{failed.arg("80004003")};
        QTest::newRow("Body, no next stage") << QStringList{"S1=1", "B1=3"} << 0x80004005u << QStringList{noNext};
        QTest::newRow("Stage without descriptor") << QStringList{"S1=0>4"} << 0x80004001u
            << QStringList{"CCoreOperationBase::OnTimerTick:[Scripted] Default failed 80004001 (st=4)"};
        QTest::newRow("Invalid next stage ignored") << QStringList{"S1=0>5"} << 0x80004005u
            << QStringList{"CCoreOperationBase::SetNextStage:[Scripted] invalid stage ( 5 )", noNext};
    }

    void stepResults()
    {
        QFETCH(QStringList, script);
        QFETCH(quint32, result);
        QFETCH(QStringList, logs);
        for (const QString& line : logs)
            QTest::ignoreMessage(QtDebugMsg, qPrintable(line));
        CScriptedOperation op;
        op.script = script;
        QSignalSpy completed(&op, &CCoreOperationBase::WhenCompleted);
        QCOMPARE(op.ScheduleStart(0, 1), S_OK);
        QVERIFY(op.trace.isEmpty());  // nothing runs before the event loop does
        QTRY_COMPARE(completed.count(), 1);
        QCOMPARE(completed.at(0).at(0).toInt(), int(result));
        QCOMPARE(op.trace.size(), script.size());
    }

    void completedStage_data()
    {
        QTest::addColumn<quint32>("completion");
        QTest::newRow("non-negative value moves on") << 7u;
        QTest::newRow("failure stops at once") << 0x80070005u;
    }

    void completedStage()
    {
        QFETCH(quint32, completion);
        const bool fails = int(completion) < 0;
        CScriptedOperation op;
        op.script = QStringList{"S1=0>2", "S2=1>3", "S3=0>C"};
        int insideTick = 0;
        op.beforeResult = [&op, &insideTick](const QString& label) {
            if (label == QLatin1String("S2"))
                insideTick = op.CompletedStage(0);
        };
        QSignalSpy completed(&op, &CCoreOperationBase::WhenCompleted);
        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::CompletedStage:[Scripted] no stage waits (st=0)");
        QCOMPARE(op.CompletedStage(0), E_FAIL);  // scheduled, not yet waiting
        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::CompletedStage:[Scripted] inside tick (st=2)");
        op.ScheduleStart(0, 1);
        QTRY_COMPARE(op.trace.size(), 2);
        QCOMPARE(insideTick, E_FAIL);
        QTest::qWait(10);
        QCOMPARE(completed.count(), 0);  // a stage without Body waits; the refused completion changed nothing
        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::CompletedStage:[Scripted] invalid result 1 (st=2)");
        QCOMPARE(op.CompletedStage(1), E_FAIL);

        if (fails)
            QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::CompletedStage:[Scripted] Second failed 80070005 (st=2)");
        QCOMPARE(op.CompletedStage(int(completion)), S_OK);
        QCOMPARE(completed.count(), fails ? 1 : 0);
        QTRY_COMPARE(completed.count(), 1);
        QCOMPARE(completed.at(0).at(0).toInt(), fails ? int(completion) : 0);
        QCOMPARE(op.trace.size(), fails ? 2 : 3);
    }

    void stageSubOperation()
    {
        CScriptedOperation op;
        op.script = QStringList{"S2=1>C"};
        QPointer<CScriptedOperation> sub;
        op.beforeResult = [&](const QString&) {
            sub = new CScriptedOperation(&op);
            sub->script = QStringList{"S1=1", "B1=1", "B1=0>C"};
            sub->beforeResult = [&sub](const QString&) { sub->SetItems(1, 2); };
            QCOMPARE(sub->ScheduleStart(0, 1, 1), S_OK);
            op.StageOperation() = sub.data();
        };
        QSignalSpy completed(&op, &CCoreOperationBase::WhenCompleted);
        QSignalSpy progress(&op, &CCoreOperationBase::WhenProgress);
        QCOMPARE(op.ScheduleStart(0, 2, 2), S_OK);
        QTRY_COMPARE(completed.count(), 1);
        QCOMPARE(completed.at(0).at(0).toInt(), S_OK);
        QTRY_VERIFY(op.StageOperation().isNull() && sub.isNull());  // released and deleted later
        // The sub-operation's 50 % is half of the first of two steps.
        QVERIFY(Values(progress).contains(25.0));
        QCOMPARE(Values(progress).last(), 100.0);
    }

    void cancelEmitsNothingStopEmitsOnce()
    {
        CScriptedOperation op;
        op.script = QStringList{"S2=1>C"};
        QPointer<CCoreOperationBase> wait;
        op.beforeResult = [&](const QString&) {
            QCOMPARE(COperationSimpleWait::StartWait(op.StageOperation(), &op, 60000), S_OK);
            wait = op.StageOperation();
        };
        QSignalSpy completed(&op, &CCoreOperationBase::WhenCompleted);
        op.ScheduleStart(0, 2);
        QTRY_VERIFY(!wait.isNull());
        QSignalSpy waitCompleted(wait.data(), &CCoreOperationBase::WhenCompleted);
        op.Cancel();
        QVERIFY(!op.IsInProgress());
        QCOMPARE(op.GetResult(), SV_E_CANCELLED);
        QTRY_VERIFY(wait.isNull());
        QTest::qWait(10);
        QCOMPARE(completed.count() + waitCompleted.count(), 0);

        op.ResetData();
        op.script = QStringList{"S2=1"};
        op.beforeResult = nullptr;
        op.ScheduleStart(0, 2);
        QTRY_COMPARE(op.trace.size(), 2);
        op.Stop(E_POINTER, true);
        op.Stop(E_FAIL, true);
        QCOMPARE(completed.count(), 1);
        QCOMPARE(completed.at(0).at(0).toInt(), E_POINTER);
        QCOMPARE(op.stopCodes, (QList<int>{SV_E_CANCELLED, E_POINTER, E_FAIL}));  // the hook runs on every stop
    }

    void scheduleStartRefusals()
    {
        CScriptedOperation op;
        op.script = QStringList{"S1=0>C"};
        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::ScheduleStart:[Scripted] invalid stage ( 5 )");
        QCOMPARE(op.ScheduleStart(0, 5), E_INVALIDARG);
        // Still in progress while its completion is being announced.
        int restartInSlot = 0;
        connect(&op, &CCoreOperationBase::WhenCompleted, this, [&] { restartInSlot = op.ScheduleStart(0, 1); });
        QCOMPARE(op.ScheduleStart(0, 1), S_OK);
        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::ScheduleStart:[Scripted] in progress (cur.st=1)");
        QCOMPARE(op.ScheduleStart(0, 1), E_FAIL);
        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::ScheduleStart:[Scripted] in progress (cur.st=5)");
        QTRY_COMPARE(restartInSlot, E_FAIL);
        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::ScheduleStart:[Scripted] data not reset (cur.st=5)");
        QCOMPARE(op.ScheduleStart(0, 1), E_FAIL);
    }

    void progressMonotonicThroughTransform()
    {
        // Stage 1 walks four items, then passes stage 2 over (counted with AddSteps) to stage 3.
        CScriptedOperation op;
        op.script = QStringList{"S1=1", "B1=1", "B1=1", "B1=1", "B1=0>3", "S3=0>C"};
        op.beforeResult = [&](const QString& label) {
            const int bodies = op.trace.count(QStringLiteral("B1"));
            if (bodies == 3)
                op.ReportProgress(0, false);  // an explicit report below the last one
            if (bodies == 4)
                op.AddSteps(1);
            if (label != QLatin1String("S3"))
                op.SetItems(bodies, 4);
        };
        QSignalSpy progress(&op, &CCoreOperationBase::WhenProgress);
        const CDoublePairVector transform{{25.0, 60.0}};
        op.ScheduleStart(0, 1, 5, &transform);
        QTRY_VERIFY(!op.IsInProgress());
        // Raw 0, 5, 10, 15 (of five steps) map to 0, 12, 24, 36; stage 3 begins at raw 40, beyond the
        // last point: 60 + 15 * 40 / 75 = 68.
        QCOMPARE(Values(progress), (QList<double>{0, 12, 24, 24, 36, 68, 100}));
    }

    void timeSlicesAndTimerDelay()
    {
        SvTest::CTestApplicationObject app;
        CScriptedOperation op;
        op.script = QStringList{"S1=1"};
        for (int i = 0; i < 80; ++i)
            op.script << QStringLiteral("B1=1");
        op.script << QStringLiteral("B1=0>C");
        int otherTicks = 0;
        QTimer other;
        connect(&other, &QTimer::timeout, this, [&otherTicks] { ++otherTicks; });
        QElapsedTimer clock;
        QMap<int, int> stepsPerSlice;  // steps of one slice see the same count of the other timer's ticks
        op.beforeResult = [&](const QString&) {
            if (stepsPerSlice.isEmpty())
                stepsPerSlice[-1] = int(clock.elapsed());
            for (const qint64 busyUntil = clock.elapsed() + 1; clock.elapsed() < busyUntil;) {
            }
            ++stepsPerSlice[otherTicks];
        };
        other.start(0);
        clock.start();
        QCOMPARE(op.ScheduleStart(0, 1), S_OK);
        app.DelayTimers(80);
        QTRY_VERIFY(!op.IsInProgress());

        // The first step waited for the delay; then slices of at most 20 ms of 1 ms steps, other timers between.
        QVERIFY2(stepsPerSlice.take(-1) >= 75, "the timer delay was not respected");
        QCOMPARE(app.Calls().count(QStringLiteral("RegisterTimer")), 1);  // the tick timer, once
        const QList<int> sizes = stepsPerSlice.values();
        QVERIFY2(sizes.size() >= 4 && *std::max_element(sizes.begin(), sizes.end()) <= 21,
                 qPrintable(QString::number(sizes.size())));
    }
};

SV_TEST_MAIN(TestOperations)
#include "tst_operations.moc"
