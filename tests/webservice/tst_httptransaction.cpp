#include "support/testmain.h"

#include "core/resultcodes.h"
#include "support/fakesonveroserver.h"
#include "webservice/http/httptransaction.h"
#include "webservice/serviceconfig.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>

using Drelk::CHttpTransaction;
using SvTest::CFakeAnswer;
using SvTest::CFakeSonveroServer;

namespace {

// Runs a transaction to its end and returns its result.
HRESULT RunToEnd(CHttpTransaction& transaction)
{
    QSignalSpy spy(&transaction, &CHttpTransaction::WhenStateChanged);
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
    CFakeSonveroServer* m_server = nullptr;
    QTemporaryDir* m_dir = nullptr;

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        m_server = new CFakeSonveroServer(this);
        QVERIFY(m_server->IsListening());
        m_server->ConfigureSettings();
        m_dir = new QTemporaryDir;
    }

    void cleanup()
    {
        delete m_server;
        m_server = nullptr;
        delete m_dir;
        m_dir = nullptr;
        ServiceConfig::SetOverride(QStringLiteral("timeout_ms"), QString());
    }

    void getDeliversBodyDigestAndState()
    {
        const QByteArray body = QString::fromUtf8("Grüße, 世界").toUtf8();
        m_server->SetFile(QStringLiteral("/files/hello.txt"), body, "text/plain; charset=utf-8");
        CHttpTransaction transaction;
        QCOMPARE(transaction.GetState(), int(CHttpTransaction::StateIdle));
        QCOMPARE(transaction.SetURL(QUrl(m_server->UrlFor(QStringLiteral("/files/hello.txt"))),
                                    {{"X-Test", "yes"}}),
                 S_OK);
        QSignalSpy states(&transaction, &CHttpTransaction::WhenStateChanged);
        QCOMPARE(RunToEnd(transaction), S_OK);
        QCOMPARE(transaction.GetResponseData(), body);
        QCOMPARE(transaction.GetHttpStatus(), 200);
        QCOMPARE(transaction.GetContentType(), QByteArray("text/plain; charset=utf-8"));
        QCOMPARE(transaction.GetSha256(), QCryptographicHash::hash(body, QCryptographicHash::Sha256));
        QCOMPARE(m_server->LastRequest().Header("X-Test"), QByteArray("yes"));
        QCOMPARE(m_server->LastRequest().method, QByteArray("GET"));
        QVERIFY(states.count() >= 1);
    }

    void postSendsFormBody()
    {
        CHttpTransaction transaction;
        QCOMPARE(transaction.SetURL(QUrl(m_server->UrlFor(QStringLiteral("/echo")))), S_OK);
        m_server->SetAnswer(QStringLiteral("/echo"), CFakeAnswer::Status(200, "ok"));
        QCOMPARE(transaction.SetPostData("a=1&b=%C3%A4"), S_OK);
        QCOMPARE(RunToEnd(transaction), S_OK);
        const SvTest::CFakeRequest request = m_server->LastRequest();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.Param(QStringLiteral("b")), QString::fromUtf8("ä"));
    }

    void setUrlRefusals_data()
    {
        QTest::addColumn<QString>("url");
        QTest::newRow("ftp") << "ftp://127.0.0.1/file";
        QTest::newRow("file") << "file:///etc/passwd";
        QTest::newRow("javascript") << "javascript:alert(1)";
        QTest::newRow("no host") << "http://";
        QTest::newRow("empty") << "";
    }

    void setUrlRefusals()
    {
        QFETCH(QString, url);
        CHttpTransaction transaction;
        QCOMPARE(transaction.SetURL(QUrl(url)), E_INVALIDARG);
        QCOMPARE(transaction.Start(), E_INVALIDARG);
        QCOMPARE(transaction.GetState(), int(CHttpTransaction::StateIdle));
    }

    void refusesChangesWhileRunning()
    {
        m_server->SetAnswer(QStringLiteral("/slow"), CFakeAnswer::Held(CFakeAnswer::Status(200, "x")));
        CHttpTransaction transaction;
        QCOMPARE(transaction.SetURL(QUrl(m_server->UrlFor(QStringLiteral("/slow")))), S_OK);
        QCOMPARE(transaction.Start(), S_OK);
        QCOMPARE(transaction.GetState(), int(CHttpTransaction::StateRunning));
        QCOMPARE(transaction.Start(), E_FAIL);
        QCOMPARE(transaction.SetURL(QUrl(m_server->UrlFor(QStringLiteral("/other")))), E_FAIL);
        QCOMPARE(transaction.SetResponseDataFileName(m_dir->filePath(QStringLiteral("x"))), E_FAIL);
        QTRY_COMPARE(m_server->HeldCount(), 1);
        m_server->ReleaseHeld();
        QTRY_COMPARE(transaction.GetState(), int(CHttpTransaction::StateCompleted));
        QCOMPARE(transaction.GetResult(), S_OK);
    }

    void errorMapping_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("expected");
        QTest::newRow("404") << 0 << int(SV_E_NO_CONTENT);
        QTest::newRow("500") << 1 << int(SV_E_HTTP_STATUS);
        QTest::newRow("403") << 2 << int(SV_E_HTTP_STATUS);
        QTest::newRow("dropped connection") << 3 << int(SV_E_NETWORK_FAILURE);
        QTest::newRow("refused connection") << 4 << int(SV_E_NETWORK_FAILURE);
        QTest::newRow("time-out") << 5 << int(SV_E_TIMED_OUT);
        QTest::newRow("stall after part of the body") << 6 << int(SV_E_TIMED_OUT);
    }

    void errorMapping()
    {
        QFETCH(int, kind);
        QFETCH(int, expected);
        const QString path = QStringLiteral("/answer");
        QString url = m_server->UrlFor(path);
        switch (kind) {
        case 0: m_server->SetAnswer(path, CFakeAnswer::Status(404)); break;
        case 1: m_server->SetAnswer(path, CFakeAnswer::Status(500, "boom")); break;
        case 2: m_server->SetAnswer(path, CFakeAnswer::Status(403)); break;
        case 3: m_server->SetAnswer(path, CFakeAnswer::Dropped()); break;
        case 4: {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
            url = QStringLiteral("http://127.0.0.1:%1/x").arg(closed.serverPort());
            closed.close();
            break;
        }
        case 5: m_server->SetAnswer(path, CFakeAnswer::Held(CFakeAnswer::Status(200))); break;
        case 6: {
            CFakeAnswer answer = CFakeAnswer::Data(Pattern(4000));
            answer.partialBytes = 1000;
            m_server->SetAnswer(path, answer);
            break;
        }
        }
        CHttpTransaction transaction;
        transaction.SetTimeoutMs(300);
        QCOMPARE(transaction.SetURL(QUrl(url)), S_OK);
        QCOMPARE(RunToEnd(transaction), HRESULT(expected));
        QCOMPARE(transaction.GetState(), int(CHttpTransaction::StateCompleted));
    }

    void timeoutComesFromSettings()
    {
        QSettings().setValue(QStringLiteral("service/timeout_ms"), 200);
        m_server->SetAnswer(QStringLiteral("/held"), CFakeAnswer::Held(CFakeAnswer::Status(200)));
        CHttpTransaction transaction;
        QCOMPARE(transaction.SetURL(QUrl(m_server->UrlFor(QStringLiteral("/held")))), S_OK);
        QCOMPARE(RunToEnd(transaction), SV_E_TIMED_OUT);
    }

    void redirects_data()
    {
        QTest::addColumn<int>("hops");
        QTest::addColumn<QString>("finalTarget");
        QTest::addColumn<int>("expected");
        QTest::newRow("one hop") << 1 << "/final" << int(S_OK);
        QTest::newRow("five hops") << 5 << "/final" << int(S_OK);
        QTest::newRow("six hops capped") << 6 << "/final" << int(SV_E_HTTP_STATUS);
        QTest::newRow("to another scheme") << 1 << "ftp://127.0.0.1/x" << int(SV_E_BAD_ANSWER);
        QTest::newRow("to a file") << 1 << "file:///etc/passwd" << int(SV_E_BAD_ANSWER);
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
        QCOMPARE(transaction.SetURL(QUrl(m_server->UrlFor(QStringLiteral("/hop0")))), S_OK);
        QCOMPARE(RunToEnd(transaction), HRESULT(expected));
        if (expected == S_OK) {
            QCOMPARE(transaction.GetResponseData(), QByteArray("arrived"));
            QCOMPARE(transaction.GetRedirectCount(), hops);
            QCOMPARE(transaction.GetFinalURL().path(), QStringLiteral("/final"));
        }
        QVERIFY(m_server->RequestCount(QStringLiteral("/hop5")) <= 1);
        QCOMPARE(m_server->RequestCount(QStringLiteral("/hop6")), 0);
    }

    void redirectWithFlagIsAnError()
    {
        m_server->SetAnswer(QStringLiteral("/r"), CFakeAnswer::Redirect("/final"));
        CHttpTransaction transaction;
        transaction.SetFlags(CHttpTransaction::FlagNoRedirects);
        QCOMPARE(transaction.SetURL(QUrl(m_server->UrlFor(QStringLiteral("/r")))), S_OK);
        QCOMPARE(RunToEnd(transaction), SV_E_HTTP_STATUS);
        QCOMPARE(m_server->RequestCount(QStringLiteral("/final")), 0);
    }

    void memoryAnswersAreCapped()
    {
        m_server->SetFile(QStringLiteral("/big"), QByteArray(int(CHttpTransaction::MaxMemoryBody) + 1, 'x'));
        CHttpTransaction transaction;
        QCOMPARE(transaction.SetURL(QUrl(m_server->UrlFor(QStringLiteral("/big")))), S_OK);
        QCOMPARE(RunToEnd(transaction), SV_E_BAD_ANSWER);
        QVERIFY(transaction.GetResponseData().size() <= CHttpTransaction::MaxMemoryBody);
    }

    void downloadGoesThroughPartFile()
    {
        const QByteArray body = Pattern(600 * 1024);
        m_server->SetFile(QStringLiteral("/files/setup.bin"), body);
        const QString target = m_dir->filePath(QStringLiteral("update.bin"));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("previous contents");
        old.close();

        CHttpTransaction transaction;
        QCOMPARE(transaction.SetURL(QUrl(m_server->UrlFor(QStringLiteral("/files/setup.bin")))), S_OK);
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
        QVERIFY(transaction.GetResponseData().isEmpty());
        QVERIFY(!progress.isEmpty());
        const QList<QVariant> last = progress.last();
        QCOMPARE(last.at(0).toInt(), body.size());
        QCOMPARE(last.at(1).toInt(), body.size());
        int previous = -1;
        for (const QList<QVariant>& step : qAsConst(progress)) {
            QVERIFY(step.at(1).toInt() >= previous);
            previous = step.at(1).toInt();
        }
    }

    void failedDownloadLeavesNoFile_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("http 500") << 0;
        QTest::newRow("connection lost mid-body") << 1;
        QTest::newRow("stalled") << 2;
        QTest::newRow("over the size cap") << 3;
        QTest::newRow("aborted") << 4;
        QTest::newRow("deleted while running") << 5;
    }

    void failedDownloadLeavesNoFile()
    {
        QFETCH(int, kind);
        const QString path = QStringLiteral("/files/broken.bin");
        CFakeAnswer answer = CFakeAnswer::Data(Pattern(200 * 1024));
        if (kind == 0)
            answer = CFakeAnswer::Status(500, "oops");
        if (kind == 1 || kind == 2 || kind == 4 || kind == 5) {
            answer.partialBytes = 50 * 1024;
            answer.dropAfterPartial = kind == 1;
        }
        m_server->SetAnswer(path, answer);
        const QString target = m_dir->filePath(QStringLiteral("setup.bin"));

        CHttpTransaction* transaction = new CHttpTransaction;
        transaction->SetTimeoutMs(kind == 2 ? 300 : 10000);
        if (kind == 3)
            transaction->SetMaxBodySize(100 * 1024);
        QCOMPARE(transaction->SetURL(QUrl(m_server->UrlFor(path))), S_OK);
        QCOMPARE(transaction->SetResponseDataFileName(target), S_OK);
        QSignalSpy completed(transaction, &CHttpTransaction::WhenStateChanged);
        QCOMPARE(transaction->Start(), S_OK);
        if (kind == 4 || kind == 5) {
            QTRY_VERIFY(transaction->GetReceivedBytes() > 0);
            QVERIFY(QFile::exists(target + QStringLiteral(".part")));
            if (kind == 4) {
                transaction->Abort();
                QCOMPARE(transaction->GetResult(), SV_E_CANCELLED);
            } else {
                const int signalsBefore = completed.count();
                delete transaction;
                transaction = nullptr;
                QCOMPARE(completed.count(), signalsBefore);
            }
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(transaction->GetState(), int(CHttpTransaction::StateCompleted), 10000);
            QVERIFY(FAILED(transaction->GetResult()));
        }
        QVERIFY(!QFile::exists(target));
        QVERIFY(!QFile::exists(target + QStringLiteral(".part")));
        delete transaction;
    }

    void unwritableTargetFailsAtStart()
    {
        m_server->SetFile(QStringLiteral("/f"), "x");
        CHttpTransaction transaction;
        QCOMPARE(transaction.SetURL(QUrl(m_server->UrlFor(QStringLiteral("/f")))), S_OK);
        QCOMPARE(transaction.SetResponseDataFileName(m_dir->filePath(QStringLiteral("missing/dir/file"))), S_OK);
        QCOMPARE(transaction.Start(), E_FAIL);
        QCOMPARE(transaction.GetState(), int(CHttpTransaction::StateIdle));
        QCOMPARE(m_server->Requests().size(), 0);
    }

    void canRunAgainAfterCompletion()
    {
        m_server->QueueAnswer(QStringLiteral("/twice"), CFakeAnswer::Status(500));
        m_server->SetAnswer(QStringLiteral("/twice"), CFakeAnswer::Status(200, "second"));
        CHttpTransaction transaction;
        QCOMPARE(transaction.SetURL(QUrl(m_server->UrlFor(QStringLiteral("/twice")))), S_OK);
        QCOMPARE(RunToEnd(transaction), SV_E_HTTP_STATUS);
        QCOMPARE(RunToEnd(transaction), S_OK);
        QCOMPARE(transaction.GetResponseData(), QByteArray("second"));
    }
};

SV_TEST_MAIN(TestHttpTransaction)
#include "tst_httptransaction.moc"
