#include "support/testmain.h"

#include "platform/netlist/networklist.h"

using NetList::EConnectivity;

class TestNetList : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { NetList::SetProbe(NetList::ProbeFunction()); }

    void injectedStateWins()
    {
        NetList::InjectState(EConnectivity::Disconnected);
        QCOMPARE(NetList::Probe(), EConnectivity::Disconnected);
        NetList::InjectState(EConnectivity::Connected);
        QCOMPARE(NetList::Probe(), EConnectivity::Connected);
        int calls = 0;
        NetList::SetProbe([&calls] {
            ++calls;
            return EConnectivity::Disconnected;
        });
        QCOMPARE(NetList::Probe(), EConnectivity::Disconnected);
        QCOMPARE(calls, 1);
    }

    // Clearing the probe gives the system's answer back (whatever this machine's state is).
    void clearedProbeAsksTheSystem()
    {
        NetList::InjectState(EConnectivity::Disconnected);
        NetList::SetProbe(NetList::ProbeFunction());
        QCOMPARE(NetList::Probe(), NetList::ProbeSystem());
    }
};

SV_TEST_MAIN(TestNetList)
#include "tst_netlist.moc"
