#include "support/testmain.h"

#include <QElapsedTimer>
#include <QSignalSpy>
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
        AddStageDesc(1, "First", this, &CScriptedOperation::DoStageFirst_Start, &CScriptedOperation::DoStageFirst_Body);
        AddStageDesc(2, "Second", this, &CScriptedOperation::DoStageSecond_Start);
        AddStageDesc(3, "Third", this, &CScriptedOperation::DoStageThird_Start, &CScriptedOperation::DoStageThird_Body);
    }

    QStringList script;
    QStringList trace;
    // Runs inside the step, before the scripted result is returned.
    std::function<void(const QString& label)> beforeResult;
    QList<int> stopCodes;
    int resets = 0;

    QPointer<CCoreOperationBase>& StageOperation() { return m_stageOperation; }
    void SetItems(int index, int count)
    {
        m_itemIndex = index;
        m_itemCount = count;
    }
    int ItemIndex() const { return m_itemIndex; }

protected:
    void DoStop(int err) override { stopCodes.append(err); }
    void DoResetData() override { ++resets; }

private:
    int DoStageFirst_Start() { return Step(QStringLiteral("S1")); }
    int DoStageFirst_Body() { return Step(QStringLiteral("B1")); }
    int DoStageSecond_Start() { return Step(QStringLiteral("S2")); }
    int DoStageThird_Start() { return Step(QStringLiteral("S3")); }
    int DoStageThird_Body() { return Step(QStringLiteral("B3")); }

    int Step(const QString& label)
    {
        trace.append(label);
        if (script.isEmpty() || script.first().section(QLatin1Char('='), 0, 0) != label)
            return E_UNEXPECTED;
        const QString rest = script.takeFirst().section(QLatin1Char('='), 1);
        const int result = int(rest.section(QLatin1Char('>'), 0, 0).toUInt(nullptr, 0));
        const QString next = rest.section(QLatin1Char('>'), 1);
        if (next == QLatin1String("C"))
            SetNextStageCompleted();
        else if (!next.isEmpty())
            SetNextStage(next.toInt());
        if (beforeResult)
            beforeResult(label);
        return result;
    }
};

int Code(quint32 value)
{
    return int(value);
}

} // namespace

class TestOperations : public QObject
{
    Q_OBJECT
private slots:
    void stepResults_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QString>("trace");
        QTest::addColumn<quint32>("result");
        QTest::addColumn<QStringList>("logs");

        QTest::newRow("Start 0 moves to the chosen stage")
            << QStringList{"S1=0>2", "S2=0>3", "S3=0>C"} << "S1 S2 S3" << 0u << QStringList();
        QTest::newRow("Start 2 ends the stage too") << QStringList{"S1=2>C"} << "S1" << 0u << QStringList();
        QTest::newRow("Start negative stops")
            << QStringList{"S1=0x80070005>2"} << "S1" << 0x80070005u
            << QStringList{"CCoreOperationBase::OnTimerTick:[Scripted] First failed 80070005 (st=1)"};
        QTest::newRow("Start without a next stage")
            << QStringList{"S1=0"} << "S1" << 0x80004005u
            << QStringList{"CCoreOperationBase::OnTimerTick:[Scripted] First no next stage (st=1)"};
        QTest::newRow("Body runs until it returns another value")
            << QStringList{"S1=1", "B1=1", "B1=1", "B1=0>C"} << "S1 B1 B1 B1" << 0u << QStringList();
        QTest::newRow("Body negative stops")
            << QStringList{"S1=1", "B1=1", "B1=0x80004003"} << "S1 B1 B1" << 0x80004003u
            << QStringList{"CCoreOperationBase::OnTimerTick:[Scripted] First failed 80004003 (st=1)"};
        QTest::newRow("Body without a next stage")
            << QStringList{"S1=1", "B1=3"} << "S1 B1" << 0x80004005u
            << QStringList{"CCoreOperationBase::OnTimerTick:[Scripted] First no next stage (st=1)"};
        QTest::newRow("Body of a later stage")
            << QStringList{"S1=0>3", "S3=1", "B3=0>2", "S2=0>C"} << "S1 S3 B3 S2" << 0u << QStringList();
        QTest::newRow("Stage without descriptor")
            << QStringList{"S1=0>4"} << "S1" << 0x80004001u
            << QStringList{"CCoreOperationBase::OnTimerTick:[Scripted] Default failed 80004001 (st=4)"};
        QTest::newRow("Invalid next stage is ignored")
            << QStringList{"S1=0>5"} << "S1" << 0x80004005u
            << QStringList{"CCoreOperationBase::SetNextStage:[Scripted] invalid stage ( 5 )",
                           "CCoreOperationBase::OnTimerTick:[Scripted] First no next stage (st=1)"};
        QTest::newRow("Stage 0 is invalid too")
            << QStringList{"S1=0>0"} << "S1" << 0x80004005u
            << QStringList{"CCoreOperationBase::SetNextStage:[Scripted] invalid stage ( 0 )",
                           "CCoreOperationBase::OnTimerTick:[Scripted] First no next stage (st=1)"};
    }

    void stepResults()
    {
        QFETCH(QStringList, script);
        QFETCH(QString, trace);
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
        QCOMPARE(completed.at(0).at(0).toInt(), Code(result));
        QCOMPARE(op.trace.join(QLatin1Char(' ')), trace);
        QCOMPARE(op.GetResult(), Code(result));
        QVERIFY(!op.IsInProgress());
        QCOMPARE(op.stopCodes.size(), 1);
        if (result == 0)
            QCOMPARE(op.GetCurrentStage(), 5);
        QTest::qWait(10);
        QCOMPARE(completed.count(), 1);
    }

    void waitingStageEndsWithCompletedStage_data()
    {
        QTest::addColumn<quint32>("completion");
        QTest::addColumn<quint32>("result");
        QTest::addColumn<bool>("atOnce");

        QTest::newRow("success moves on") << 0u << 0u << false;
        QTest::newRow("another non-negative value") << 7u << 0u << false;
        QTest::newRow("failure stops") << 0x80070005u << 0x80070005u << true;
    }

    void waitingStageEndsWithCompletedStage()
    {
        QFETCH(quint32, completion);
        QFETCH(quint32, result);
        QFETCH(bool, atOnce);

        CScriptedOperation op;
        op.script = QStringList{"S1=0>2", "S2=1>3", "S3=0>C"};
        QSignalSpy completed(&op, &CCoreOperationBase::WhenCompleted);
        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::CompletedStage:[Scripted] no stage waits (st=0)");
        QCOMPARE(op.CompletedStage(0), E_FAIL);  // scheduled, not yet waiting
        op.ScheduleStart(0, 1);
        QTRY_COMPARE(op.trace.join(QLatin1Char(' ')), QStringLiteral("S1 S2"));
        QTest::qWait(10);
        QCOMPARE(completed.count(), 0);  // a stage without Body waits
        QVERIFY(op.IsInProgress());

        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::CompletedStage:[Scripted] invalid result 1 (st=2)");
        QCOMPARE(op.CompletedStage(1), E_FAIL);
        if (atOnce)
            QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::CompletedStage:[Scripted] Second failed 80070005 (st=2)");
        QCOMPARE(op.CompletedStage(Code(completion)), S_OK);
        QCOMPARE(completed.count(), atOnce ? 1 : 0);
        QTRY_COMPARE(completed.count(), 1);
        QCOMPARE(completed.at(0).at(0).toInt(), Code(result));
        QCOMPARE(op.trace.join(QLatin1Char(' ')), atOnce ? QStringLiteral("S1 S2") : QStringLiteral("S1 S2 S3"));
    }

    void completedStageRefusedInsideTick()
    {
        CScriptedOperation op;
        op.script = QStringList{"S1=1>C", "B1=1"};
        int insideResult = 0;
        op.beforeResult = [&op, &insideResult](const QString& label) {
            if (label == QLatin1String("B1"))
                insideResult = op.CompletedStage(0);
        };
        QSignalSpy completed(&op, &CCoreOperationBase::WhenCompleted);
        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::CompletedStage:[Scripted] inside tick (st=1)");
        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::OnTimerTick:[Scripted] First failed 8000ffff (st=1)");
        op.ScheduleStart(0, 1);
        QTRY_COMPARE(completed.count(), 1);
        QCOMPARE(insideResult, E_FAIL);
        // The refused completion changed nothing: the Body ran on until the script ran dry.
        QCOMPARE(op.trace.join(QLatin1Char(' ')), QStringLiteral("S1 B1 B1"));
        QCOMPARE(completed.at(0).at(0).toInt(), E_UNEXPECTED);
    }

    void stageSubOperation_data()
    {
        QTest::addColumn<QStringList>("subScript");
        QTest::addColumn<quint32>("result");

        QTest::newRow("completes") << QStringList{"S1=1", "B1=1", "B1=0>C"} << 0u;
        QTest::newRow("fails") << QStringList{"S1=1", "B1=1", "B1=0x80070005"} << 0x80070005u;
    }

    void stageSubOperation()
    {
        QFETCH(QStringList, subScript);
        QFETCH(quint32, result);

        CScriptedOperation op;
        op.script = QStringList{"S2=1>C"};
        QPointer<CScriptedOperation> sub;
        QStringList subTrace;  // the sub-operation is gone by the time the test looks
        op.beforeResult = [&](const QString&) {
            sub = new CScriptedOperation(&op);
            sub->setObjectName(QStringLiteral("Sub"));
            sub->script = subScript;
            sub->beforeResult = [&sub, &subTrace](const QString& label) {
                subTrace.append(label);
                if (label == QLatin1String("S1"))
                    sub->SetItems(1, 2);
            };
            QCOMPARE(sub->ScheduleStart(0, 1, 1), S_OK);
            op.StageOperation() = sub.data();
        };
        QSignalSpy completed(&op, &CCoreOperationBase::WhenCompleted);
        QSignalSpy progress(&op, &CCoreOperationBase::WhenProgress);
        if (result != 0) {
            QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::OnTimerTick:[Sub] First failed 80070005 (st=1)");
            QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::CompletedStage:[Scripted] Second failed 80070005 (st=2)");
        }
        QCOMPARE(op.ScheduleStart(0, 2, 2), S_OK);
        QTRY_COMPARE(completed.count(), 1);
        QCOMPARE(completed.at(0).at(0).toInt(), Code(result));
        QCOMPARE(subTrace.join(QLatin1Char(' ')), QStringLiteral("S1 B1 B1"));
        QVERIFY(op.StageOperation().isNull());
        QTRY_VERIFY(sub.isNull());  // released and deleted later

        // The sub-operation's 50 % is half of the first of two steps.
        QList<double> values;
        for (const auto& args : progress)
            values.append(args.at(0).toDouble());
        QVERIFY2(values.contains(25.0), qPrintable(QString::number(values.size())));
        if (result == 0)
            QCOMPARE(values.last(), 100.0);
    }

    void cancelReleasesSubOperationWithoutSignal()
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
        QCOMPARE(op.stopCodes, QList<int>{SV_E_CANCELLED});
        QVERIFY(!wait->IsInProgress());
        QTRY_VERIFY(wait.isNull());
        QTest::qWait(10);
        QCOMPARE(completed.count(), 0);
        QCOMPARE(waitCompleted.count(), 0);
    }

    void stopEmitsOnce_data()
    {
        QTest::addColumn<bool>("notify");
        QTest::newRow("with notify") << true;
        QTest::newRow("without notify") << false;
    }

    void stopEmitsOnce()
    {
        QFETCH(bool, notify);
        CScriptedOperation op;
        op.script = QStringList{"S2=1"};
        QSignalSpy completed(&op, &CCoreOperationBase::WhenCompleted);
        op.ScheduleStart(0, 2);
        QTRY_COMPARE(op.trace.size(), 1);
        op.Stop(E_POINTER, notify);
        op.Stop(E_FAIL, true);
        QCOMPARE(completed.count(), notify ? 1 : 0);
        if (notify)
            QCOMPARE(completed.at(0).at(0).toInt(), E_POINTER);
        QCOMPARE(op.GetResult(), E_POINTER);
        QCOMPARE(op.stopCodes, (QList<int>{E_POINTER, E_FAIL}));  // the hook runs on every stop
    }

    void scheduleStartRefusals()
    {
        CScriptedOperation op;
        op.script = QStringList{"S1=1>C", "B1=0"};
        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::ScheduleStart:[Scripted] invalid stage ( 0 )");
        QCOMPARE(op.ScheduleStart(0, 0), E_INVALIDARG);
        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::ScheduleStart:[Scripted] invalid stage ( 5 )");
        QCOMPARE(op.ScheduleStart(0, 5), E_INVALIDARG);
        QVERIFY(!op.IsInProgress());
        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::AddStageDesc:[Scripted] invalid stage ( 5 )");
        QCOMPARE(op.AddStageDesc(CCoreOperationBase::CStageDescBaseT<CScriptedOperation>(5, "Fifth", &op, nullptr)),
                 E_INVALIDARG);

        QSignalSpy completed(&op, &CCoreOperationBase::WhenCompleted);
        QCOMPARE(op.ScheduleStart(42, 1), S_OK);
        QCOMPARE(op.GetRunValue(), 42);
        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::ScheduleStart:[Scripted] in progress (cur.st=1)");
        QCOMPARE(op.ScheduleStart(0, 1), E_FAIL);
        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::ResetData:[Scripted] in progress (cur.st=1)");
        QCOMPARE(op.ResetData(), E_FAIL);
        QTRY_COMPARE(completed.count(), 1);

        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::ScheduleStart:[Scripted] data not reset (cur.st=5)");
        QCOMPARE(op.ScheduleStart(0, 1), E_FAIL);
        QCOMPARE(op.resets, 0);
        QCOMPARE(op.ResetData(), S_OK);
        QCOMPARE(op.resets, 1);
        QCOMPARE(op.GetCurrentStage(), 0);
        op.script = QStringList{"S2=0>C"};
        QCOMPARE(op.ScheduleStart(0, 2), S_OK);
        QTRY_COMPARE(completed.count(), 2);
        QCOMPARE(completed.at(1).at(0).toInt(), S_OK);
    }

    void inProgressUntilCompletingTickEnds()
    {
        CScriptedOperation op;
        op.script = QStringList{"S1=0>C"};
        bool inProgressInSlot = false;
        int restartInSlot = 0;
        connect(&op, &CCoreOperationBase::WhenCompleted, this, [&](int) {
            inProgressInSlot = op.IsInProgress();
            restartInSlot = op.ScheduleStart(0, 1);
        });
        QTest::ignoreMessage(QtDebugMsg, "CCoreOperationBase::ScheduleStart:[Scripted] in progress (cur.st=5)");
        op.ScheduleStart(0, 1);
        QVERIFY(op.IsInProgress());
        QTRY_VERIFY(!op.IsInProgress());
        QVERIFY(inProgressInSlot);
        QCOMPARE(restartInSlot, E_FAIL);
    }

    void progressMonotonicThroughTransform()
    {
        CScriptedOperation op;
        // Stage 1 walks four items, then passes stage 2 over (counted with AddSteps) to stage 3.
        op.script = QStringList{"S1=1", "B1=1", "B1=1", "B1=1", "B1=0>3", "S3=0>C"};
        int bodies = 0;
        op.beforeResult = [&](const QString& label) {
            if (label == QLatin1String("S1"))
                op.SetItems(0, 4);
            if (label != QLatin1String("B1"))
                return;
            if (++bodies == 3)
                op.ReportProgress(0, false);  // an explicit report below the last one
            if (bodies == 4)
                op.AddSteps(1);
            op.SetItems(op.ItemIndex() + 1, 4);
        };
        QSignalSpy progress(&op, &CCoreOperationBase::WhenProgress);
        QSignalSpy completed(&op, &CCoreOperationBase::WhenCompleted);
        const CDoublePairVector transform{{25.0, 60.0}};
        op.ScheduleStart(0, 1, 5, &transform);
        QTRY_COMPARE(completed.count(), 1);

        // Raw 0, 5, 10, 15 (of five steps) map to 0, 12, 24, 36; stage 3 begins at raw 40, beyond the
        // last point: 60 + 15 * 40 / 75 = 68.
        QList<double> values;
        for (const auto& args : progress)
            values.append(args.at(0).toDouble());
        const QList<double> expected{0, 12, 24, 24, 36, 68, 100};
        QCOMPARE(values.size(), expected.size());
        for (int i = 0; i < values.size(); ++i)
            QVERIFY2(qAbs(values[i] - expected[i]) < 1e-9, qPrintable(QStringLiteral("%1: %2").arg(i).arg(values[i])));
    }

    void timeSlicesLeaveOtherTimersRunning()
    {
        CScriptedOperation op;
        QStringList script{"S1=1"};
        for (int i = 0; i < 80; ++i)
            script << QStringLiteral("B1=1");
        script << QStringLiteral("B1=0>C");
        op.script = script;

        int otherTicks = 0;
        QTimer other;
        other.setInterval(0);
        connect(&other, &QTimer::timeout, this, [&otherTicks] { ++otherTicks; });
        QList<int> ticksSeenByBodies;
        op.beforeResult = [&](const QString& label) {
            if (label != QLatin1String("B1"))
                return;
            QElapsedTimer busy;
            busy.start();
            while (busy.elapsed() < 1) {
            }
            ticksSeenByBodies.append(otherTicks);
        };
        QSignalSpy completed(&op, &CCoreOperationBase::WhenCompleted);
        other.start();
        op.ScheduleStart(0, 1);
        QTRY_COMPARE(completed.count(), 1);
        other.stop();

        // Bodies of one slice see the same count of the other timer: at most 20 ms of 1 ms bodies.
        int longestRun = 0;
        int run = 0;
        for (int i = 0; i < ticksSeenByBodies.size(); ++i) {
            run = (i > 0 && ticksSeenByBodies[i] == ticksSeenByBodies[i - 1]) ? run + 1 : 1;
            longestRun = qMax(longestRun, run);
        }
        QVERIFY2(longestRun <= 21, qPrintable(QString::number(longestRun)));
        QVERIFY2(longestRun >= 2, "a tick runs more than one step");
        QVERIFY(ticksSeenByBodies.last() > ticksSeenByBodies.first());
    }

    void ticksRespectTimerDelay_data()
    {
        QTest::addColumn<bool>("period");
        QTest::newRow("period delay before the start") << true;
        QTest::newRow("one-time delay after the start") << false;
    }

    void ticksRespectTimerDelay()
    {
        QFETCH(bool, period);
        SvTest::CTestApplicationObject app;
        CScriptedOperation op;
        op.script = QStringList{"S1=1>C"};
        qint64 startedAt = -1;
        QElapsedTimer clock;
        op.beforeResult = [&](const QString&) { startedAt = clock.elapsed(); };

        clock.start();
        if (period)
            app.TimerList()->DelayTimers(80, false);
        QCOMPARE(op.ScheduleStart(0, 1), S_OK);
        if (!period)
            app.DelayTimers(80);
        QCOMPARE(app.CallCount(QStringLiteral("RegisterTimer")), 1);
        QVERIFY(app.IsBusy());
        QTRY_VERIFY(startedAt >= 0);
        QVERIFY2(startedAt >= 75, qPrintable(QString::number(startedAt)));

        // The timer is registered once, however often the operation runs.
        op.Cancel();
        op.ResetData();
        QCOMPARE(op.ScheduleStart(0, 1), S_OK);
        QCOMPARE(app.CallCount(QStringLiteral("RegisterTimer")), 1);
        op.Cancel();
    }

    void simpleWait()
    {
        QObject parent;
        QPointer<CCoreOperationBase> holder;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(COperationSimpleWait::StartWait(holder, &parent, 40), S_OK);
        QVERIFY(!holder.isNull());
        QCOMPARE(holder->objectName(), QStringLiteral("SimpleWait"));
        QCOMPARE(holder->parent(), &parent);
        QSignalSpy completed(holder.data(), &CCoreOperationBase::WhenCompleted);
        QTRY_COMPARE(completed.count(), 1);
        QCOMPARE(completed.at(0).at(0).toInt(), S_OK);
        QVERIFY2(clock.elapsed() >= 38, qPrintable(QString::number(clock.elapsed())));
    }

    void simpleWaitInvalidInterval_data()
    {
        QTest::addColumn<int>("ms");
        QTest::newRow("zero") << 0;
        QTest::newRow("negative") << -5;
    }

    void simpleWaitInvalidInterval()
    {
        QFETCH(int, ms);
        QPointer<CCoreOperationBase> holder;
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("COperationSimpleWait::Start: invalid interval(%1)").arg(ms)));
        QCOMPARE(COperationSimpleWait::StartWait(holder, nullptr, ms), E_INVALIDARG);
        QVERIFY(holder.isNull());
    }
};

SV_TEST_MAIN(TestOperations)
#include "tst_operations.moc"
