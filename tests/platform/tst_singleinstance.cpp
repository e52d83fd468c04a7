#include "support/testmain.h"

#include <memory>

#include <QLocalSocket>
#include <QSignalSpy>

#include "core/broadcastmessages.h"
#include "platform/win/singleinstance.h"

class TestSingleInstance : public QObject
{
    Q_OBJECT
private slots:
    void ownershipAndIds()
    {
        auto first = std::make_unique<CSingleInstance>();
        QCOMPARE(CSingleInstance::Instance(), first.get());
        QCOMPARE(first->Claim(), S_OK);
        QVERIFY(first->IsOwner());
        // Not registered until the owner listens.
        QCOMPARE(GetBroadcastMessageId(), 0u);
        QCOMPARE(GetCommonBroadcastMessageId(), 0u);
        QCOMPARE(first->Listen(), S_OK);
        QCOMPARE(GetBroadcastMessageId(), CSingleInstance::BroadcastMessageId);
        QCOMPARE(GetCommonBroadcastMessageId(), CSingleInstance::CommonBroadcastMessageId);
        QVERIFY(GetBroadcastMessageId() != GetCommonBroadcastMessageId());
        const QString marker = first->CommonMarkerPath();
        QVERIFY(QFileInfo::exists(marker));
        QVERIFY(QFileInfo::exists(CSingleInstance::ServerPath()));

        CSingleInstance second;
        QCOMPARE(second.Claim(3, 1), S_FALSE);
        QVERIFY(!second.IsOwner());
        QCOMPARE(second.Listen(), E_UNEXPECTED);
        QCOMPARE(second.GetBroadcastMessageId(), 0u);
        QVERIFY(second.CommonMarkerPath().isEmpty());

        // Listening stops without giving up the lock.
        first->StopListening();
        QCOMPARE(GetBroadcastMessageId(), 0u);
        QVERIFY(!QFileInfo::exists(CSingleInstance::ServerPath()));
        QCOMPARE(second.Claim(), S_FALSE);

        first.reset();
        QVERIFY(!QFileInfo::exists(marker));
        QVERIFY(!CSingleInstance::Instance());
        QCOMPARE(second.Claim(), S_OK);
        QVERIFY(second.IsOwner());
    }

    void messagesReachTheOwner_data()
    {
        QTest::addColumn<quint32>("id");
        QTest::addColumn<qint64>("wParam");
        QTest::addColumn<qint64>("lParam");
        QTest::newRow("show yourself") << quint32(CSingleInstance::BroadcastMessageId) << qint64(0) << qint64(0);
        QTest::newRow("shut down, parameters") << quint32(CSingleInstance::CommonBroadcastMessageId) << qint64(-7)
                                               << qint64(123456789);
    }

    void messagesReachTheOwner()
    {
        QFETCH(quint32, id);
        QFETCH(qint64, wParam);
        QFETCH(qint64, lParam);
        CSingleInstance owner;
        QCOMPARE(owner.Claim(), S_OK);
        QCOMPARE(owner.Listen(), S_OK);
        QSignalSpy spy(&owner, &CSingleInstance::WhenMessage);

        QCOMPARE(CSingleInstance::SendMessage(id, qintptr(wParam), qintptr(lParam)), S_OK);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<quint32>(), id);
        QCOMPARE(qint64(spy.at(0).at(1).value<qintptr>()), wParam);
        QCOMPARE(qint64(spy.at(0).at(2).value<qintptr>()), lParam);
    }

    void foreignTalkIsIgnored()
    {
        CSingleInstance owner;
        QCOMPARE(owner.Claim(), S_OK);
        QCOMPARE(owner.Listen(), S_OK);
        QSignalSpy spy(&owner, &CSingleInstance::WhenMessage);

        // Lines that are not ours, then one that is, on one connection.
        QLocalSocket socket;
        socket.connectToServer(CSingleInstance::ServerPath());
        QVERIFY(socket.waitForConnected(2000));
        socket.write("HELLO\nSVMSG 7 0 0\nSVMSG 49409 x 0\nSVMSG 49410 1 2\n");
        QVERIFY(socket.waitForBytesWritten(2000));
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<quint32>(), quint32(CSingleInstance::CommonBroadcastMessageId));

        // An endless line is cut off.
        socket.write(QByteArray(4096, 'A'));
        QVERIFY(socket.waitForBytesWritten(2000));
        QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(spy.count(), 1);

        // Nothing but the two ids is sent.
        QCOMPARE(CSingleInstance::SendMessage(7, 0, 0), E_INVALIDARG);
    }

    void nobodyListening()
    {
        // The lock may be held by a copy that never listens: the sender gives up after its timeout.
        CSingleInstance owner;
        QCOMPARE(owner.Claim(), S_OK);
        QCOMPARE(CSingleInstance::SendMessage(CSingleInstance::BroadcastMessageId, 0, 0, 100), E_FAIL);
    }
};

SV_TEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
