#include "support/testmain.h"

#include "core/resultcodes.h"
#include "support/fakesonveroserver.h"
#include "webservice/http/httptransaction.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

using Drelk::CHttpTransaction;
using SvTest::CFakeAnswer;
using SvTest::CFakeSonveroServer;

namespace {

// Runs a transaction to its end and returns its result.
HRESULT RunToEnd(CHttpTransaction& transaction)
{
    const HRESULT hr = transaction.Start();
    if (FAILED(hr))
        return hr;
    if (!QTest::qWaitFor([&] { return transaction.GetState() == CHttpTransaction::StateCompleted; }, 10000))
        return E_UNEXPECTED;
    return transaction.GetResult();
}

QByteArray Pattern(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
    return bytes;
}

} // namespace

class TestHttpTransaction : public QObject
{
    Q_OBJECT
private:
    QScopedPointer<CFakeSonveroServer> m_server;
    QScopedPointer<QTemporaryDir> m_dir;

    QUrl Url(const QString& path) const { return QUrl(m_server->UrlFor(path)); }

private slots:
    void init()
    {
        m_server.reset(new CFakeSonveroServer);
        QVERIFY(m_server->IsListening());
        m_dir.reset(new QTemporaryDir);
    }

    void getDeliversBodyAndDigest()
    {
        const QByteArray body = QString::fromUtf8("Grüße, 世界").toUtf8();
        m_server->SetFile(QStringLiteral("/files/hello.txt"), body, "text/plain; charset=utf-8");
        CHttpTransaction get;
        QCOMPARE(get.SetURL(Url(QStringLiteral("/files/hello.txt")), {{"X-Test", "yes"}}), S_OK);
        QCOMPARE(RunToEnd(get), S_OK);
        QCOMPARE(get.GetResponseData(), body);
        QCOMPARE(get.GetContentType(), QByteArray("text/plain; charset=utf-8"));
        QCOMPARE(get.GetSha256(), QCryptographicHash::hash(body, QCryptographicHash::Sha256));
        QCOMPARE(m_server->LastRequest().Header("X-Test"), QByteArray("yes"));
    }

    void onlyHttpAddresses_data()
    {
        QTest::addColumn<QString>("url");
        QTest::newRow("ftp") << "ftp://127.0.0.1/file";
        QTest::newRow("file") << "file:///etc/passwd";
        QTest::newRow("no host") << "http://";
    }

    void onlyHttpAddresses()
    {
        QFETCH(QString, url);
        CHttpTransaction transaction;
        QCOMPARE(transaction.SetURL(QUrl(url)), E_INVALIDARG);
        QCOMPARE(transaction.Start(), E_INVALIDARG);
        QCOMPARE(transaction.GetState(), int(CHttpTransaction::StateIdle));
    }

    // While running nothing can be changed; a completed transaction, even a failed one, runs again.
    void oneRunAtATime()
    {
        m_server->QueueAnswer(QStringLiteral("/slow"), CFakeAnswer::Held(CFakeAnswer::Status(500)));
        m_server->SetAnswer(QStringLiteral("/slow"), CFakeAnswer::Status(200, "second"));
        CHttpTransaction transaction;
        QCOMPARE(transaction.SetURL(Url(QStringLiteral("/slow"))), S_OK);
        QCOMPARE(transaction.Start(), S_OK);
        QCOMPARE(transaction.Start(), E_FAIL);
        QCOMPARE(transaction.SetURL(Url(QStringLiteral("/other"))), E_FAIL);
        QTRY_COMPARE(m_server->HeldCount(), 1);
        m_server->ReleaseHeld();
        QTRY_COMPARE(transaction.GetState(), int(CHttpTransaction::StateCompleted));
        QCOMPARE(transaction.GetResult(), SV_E_HTTP_STATUS);
        QCOMPARE(RunToEnd(transaction), S_OK);
        QCOMPARE(transaction.GetResponseData(), QByteArray("second"));
    }

    void redirects_data()
    {
        QTest::addColumn<int>("hops");
        QTest::addColumn<QString>("finalTarget");
        QTest::addColumn<int>("expected");
        QTest::newRow("five hops") << 5 << "/final" << int(S_OK);
        QTest::newRow("six hops capped") << 6 << "/final" << int(SV_E_HTTP_STATUS);
        QTest::newRow("to another scheme") << 1 << "ftp://127.0.0.1/x" << int(SV_E_BAD_ANSWER);
    }

    void redirects()
    {
        QFETCH(int, hops);
        QFETCH(QString, finalTarget);
        QFETCH(int, expected);
        m_server->SetFile(QStringLiteral("/final"), "arrived");
        for (int i = 0; i < hops; ++i) {
            const QString next = i + 1 < hops ? QStringLiteral("/hop%1").arg(i + 1) : finalTarget;
            m_server->SetAnswer(QStringLiteral("/hop%1").arg(i), CFakeAnswer::Redirect(next.toUtf8(), i % 2 ? 301 : 302));
        }
        CHttpTransaction transaction;
        QCOMPARE(transaction.SetURL(Url(QStringLiteral("/hop0"))), S_OK);
        QCOMPARE(RunToEnd(transaction), HRESULT(expected));
        if (expected == S_OK) {
            QCOMPARE(transaction.GetResponseData(), QByteArray("arrived"));
            QCOMPARE(transaction.GetRedirectCount(), hops);
            QCOMPARE(transaction.GetFinalURL().path(), QStringLiteral("/final"));
        }
        QCOMPARE(m_server->RequestCount(QStringLiteral("/final")), expected == S_OK ? 1 : 0);
    }

    void memoryAnswersAreCapped()
    {
        m_server->SetFile(QStringLiteral("/big"), QByteArray(int(CHttpTransaction::MaxMemoryBody) + 1, 'x'));
        CHttpTransaction transaction;
        QCOMPARE(transaction.SetURL(Url(QStringLiteral("/big"))), S_OK);
        QCOMPARE(RunToEnd(transaction), SV_E_BAD_ANSWER);
        QVERIFY(transaction.GetResponseData().size() <= CHttpTransaction::MaxMemoryBody);
    }

    // The body goes to "<file>.part" and replaces the old file only when complete.
    void downloadGoesThroughPartFile()
    {
        const QByteArray body = Pattern(600 * 1024);
        m_server->SetFile(QStringLiteral("/files/setup.bin"), body);
        const QString target = m_dir->filePath(QStringLiteral("update.bin"));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("previous contents") > 0);
        old.close();

        CHttpTransaction transaction;
        QCOMPARE(transaction.SetURL(Url(QStringLiteral("/files/setup.bin"))), S_OK);
        // A folder that does not exist fails before anything is asked.
        QCOMPARE(transaction.SetResponseDataFileName(m_dir->filePath(QStringLiteral("missing/file"))), S_OK);
        QCOMPARE(transaction.Start(), E_FAIL);
        QCOMPARE(m_server->Requests().size(), 0);

        QCOMPARE(transaction.SetResponseDataFileName(target), S_OK);
        QSignalSpy progress(&transaction, &CHttpTransaction::WhenDownloadProgress);
        bool partSeen = false;
        connect(&transaction, &CHttpTransaction::WhenDownloadProgress, this,
                [&] { partSeen = partSeen || QFile::exists(target + QStringLiteral(".part")); });
        QCOMPARE(RunToEnd(transaction), S_OK);
        QVERIFY(partSeen);
        QVERIFY(!QFile::exists(target + QStringLiteral(".part")));
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), body);
        QCOMPARE(transaction.GetSha256(), QCryptographicHash::hash(body, QCryptographicHash::Sha256));
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.last().at(0).toInt(), body.size());
        QCOMPARE(progress.last().at(1).toInt(), body.size());
    }

    void failedDownloadLeavesNoFile_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("expected");
        QTest::newRow("stalled mid-body") << 0 << int(SV_E_TIMED_OUT);
        QTest::newRow("aborted") << 1 << int(SV_E_CANCELLED);
        QTest::newRow("deleted while running") << 2 << 0;
    }

    void failedDownloadLeavesNoFile()
    {
        QFETCH(int, kind);
        QFETCH(int, expected);
        CFakeAnswer answer = CFakeAnswer::Data(Pattern(200 * 1024));
        answer.partialBytes = 50 * 1024; // then it stalls
        m_server->SetAnswer(QStringLiteral("/broken.bin"), answer);
        const QString target = m_dir->filePath(QStringLiteral("setup.bin"));

        CHttpTransaction* transaction = new CHttpTransaction;
        transaction->SetTimeoutMs(kind == 0 ? 300 : 10000);
        QCOMPARE(transaction->SetURL(Url(QStringLiteral("/broken.bin"))), S_OK);
        QCOMPARE(transaction->SetResponseDataFileName(target), S_OK);
        QSignalSpy states(transaction, &CHttpTransaction::WhenStateChanged);
        QCOMPARE(transaction->Start(), S_OK);
        QTRY_VERIFY(transaction->GetReceivedBytes() > 0);
        QVERIFY(QFile::exists(target + QStringLiteral(".part")));
        if (kind == 2) {
            const int signalsBefore = states.count();
            delete transaction;
            QCOMPARE(states.count(), signalsBefore); // a deleted transaction reports nothing
        } else {
            if (kind == 1)
                transaction->Abort();
            QTRY_COMPARE(transaction->GetState(), int(CHttpTransaction::StateCompleted));
            QCOMPARE(transaction->GetResult(), HRESULT(expected));
            delete transaction;
        }
        QVERIFY(!QFile::exists(target));
        QVERIFY(!QFile::exists(target + QStringLiteral(".part")));
    }
};

SV_TEST_MAIN(TestHttpTransaction)
#include "tst_httptransaction.moc"
