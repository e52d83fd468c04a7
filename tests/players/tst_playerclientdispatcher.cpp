#include "support/testmain.h"

#include "playerclientfakes.h"

class TestPlayerClientDispatcher : public QObject
{
    Q_OBJECT
private:
    CPlayerClientDispatcher* m_dispatcher = nullptr;
    CFakeClient* m_a = nullptr;
    CFakeClient* m_b = nullptr;
    QStringList m_signals;

private slots:
    void init()
    {
        m_dispatcher = new CPlayerClientDispatcher();
        m_a = new CFakeClient(m_dispatcher, 1, QStringLiteral("A"));
        m_b = new CFakeClient(m_dispatcher, 2, QStringLiteral("B"));
        m_signals.clear();
        typedef CPlayerClientDispatcher D;
        D* d = m_dispatcher;
        connect(d, &D::WhenActiveChanged, this, [this] { m_signals << QStringLiteral("changed"); });
        connect(d, &D::WhenActiveRunningChanged, this,
                [this](int state, int old) { m_signals << QStringLiteral("running %1<-%2").arg(state).arg(old); });
        connect(d, &D::WhenActivePlayingChanged, this,
                [this](bool on) { m_signals << QStringLiteral("playing %1").arg(on); });
        connect(d, &D::WhenAnotherStarted, this,
                [this](CPlayerClientBase* client) { m_signals << QStringLiteral("another ") + client->GetName(); });
        connect(d, &D::WhenActiveShutdown, this, [this] { m_signals << QStringLiteral("shutdown"); });
        connect(d, &D::WhenActiveWakeUp, this, [this] { m_signals << QStringLiteral("wakeup"); });
    }

    void cleanup()
    {
        delete m_dispatcher;
    }

    void setActiveOrder_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("starting") << int(PlayerClient::StateStarting) << QStringList{"shutdown", "changed"};
        QTest::newRow("running") << int(PlayerClient::StateRunning)
                                 << QStringList{"shutdown", "changed", "wakeup", "playing 1"};
    }

    void setActiveOrder()
    {
        QFETCH(int, state);
        QFETCH(QStringList, expected);
        m_b->SetState(state);
        m_signals.clear();
        m_dispatcher->SetActive(m_b);
        QCOMPARE(m_signals, expected);
        QCOMPARE(m_dispatcher->GetActive(), m_b);
        m_signals.clear();
        m_dispatcher->SetActive(m_b);
        QVERIFY(m_signals.isEmpty());
    }

    void relaysOnlyTheActiveClient()
    {
        // Clients register themselves with the dispatcher that is their parent; a second registration
        // must not relay twice.
        m_dispatcher->AddClient(m_a);
        QCOMPARE(m_dispatcher->GetClients(), (QList<CPlayerClientBase*>{m_a, m_b}));
        QCOMPARE(m_dispatcher->FindClient(2), m_b);
        QCOMPARE(m_dispatcher->FindClient(3), nullptr);
        m_dispatcher->SetActive(m_a);
        m_signals.clear();

        m_a->SetState(PlayerClient::StateRunning);
        emit m_a->WhenPlayingChanged(true);
        emit m_a->WhenWakeUp();
        m_a->GoAway();
        QCOMPARE(m_signals, (QStringList{"running 1<-0", "playing 1", "wakeup", "running 0<-1", "shutdown"}));

        // Another client: only its start is reported.
        m_signals.clear();
        m_b->SetState(PlayerClient::StateStarting);
        m_b->SetState(PlayerClient::StateRunning);
        emit m_b->WhenPlayingChanged(true);
        emit m_b->WhenWakeUp();
        m_b->GoAway();
        QCOMPARE(m_signals, QStringList{"another B"});

        // A deleted active client leaves no active client behind.
        delete m_a;
        QCOMPARE(m_dispatcher->GetActive(), nullptr);
        QCOMPARE(m_dispatcher->GetClients(), QList<CPlayerClientBase*>{m_b});
    }

    void isActiveRunning_data()
    {
        QTest::addColumn<bool>("active");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("runningAndFree");
        QTest::newRow("no active client") << false << 1 << false << false << false;
        QTest::newRow("running") << true << 1 << false << true << true;
        QTest::newRow("running but busy") << true << 1 << true << true << false;
    }

    void isActiveRunning()
    {
        QFETCH(bool, active);
        QFETCH(int, state);
        QFETCH(bool, busy);
        QFETCH(bool, running);
        QFETCH(bool, runningAndFree);
        m_a->SetState(state);
        m_a->SetBusy(busy);
        if (active)
            m_dispatcher->SetActive(m_a);
        QCOMPARE(m_dispatcher->IsActiveRunning(false), running);
        QCOMPARE(m_dispatcher->IsActiveRunning(true), runningAndFree);
    }
};

SV_TEST_MAIN(TestPlayerClientDispatcher)
#include "tst_playerclientdispatcher.moc"
