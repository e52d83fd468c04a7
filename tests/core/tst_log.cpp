#include "support/testmain.h"

#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSet>
#include <QThread>

#include "core/corefiles.h"
#include "core/log.h"
#include "platform/com/combase.h"

namespace {

const QRegularExpression s_linePattern(QStringLiteral("^\\d{4}\\.\\d{2}\\.\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}: (.*)$"));

QByteArray ReadLogBytes()
{
    QFile file(GetLogFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// The texts of the log's lines (timestamps checked and cut off); fails the test on a malformed line.
bool ReadLogTexts(QStringList& texts)
{
    QByteArray bytes = ReadLogBytes();
    if (!bytes.startsWith("\xEF\xBB\xBF")) {
        qWarning("log lacks its byte-order mark");
        return false;
    }
    bytes.remove(0, 3);
    if (!bytes.isEmpty() && !bytes.endsWith('\n')) {
        qWarning("log ends inside a line");
        return false;
    }
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = s_linePattern.match(line);
        if (!match.hasMatch()) {
            qWarning("malformed log line: %s", qPrintable(line));
            return false;
        }
        texts.append(match.captured(1));
    }
    return true;
}

} // namespace

class TestLog : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(SUCCEEDED(MakeDataDirectory()));
        QVERIFY(SUCCEEDED(OpenLog()));
    }

    void cleanup()
    {
        CloseLog();
        QLoggingCategory::setFilterRules(QString());
    }

    void startsWithMarkAndKeepsPreviousRun()
    {
        WriteLog("first run");
        CloseLog();
        QVERIFY(SUCCEEDED(OpenLog()));
        WriteLog("second run");

        QStringList texts;
        QVERIFY(ReadLogTexts(texts));
        QCOMPARE(texts, QStringList() << QStringLiteral("second run"));

        QFile previous(GetLogFilePath() + QStringLiteral(".1"));
        QVERIFY(previous.open(QIODevice::ReadOnly));
        const QByteArray old = previous.readAll();
        QVERIFY(old.startsWith("\xEF\xBB\xBF"));
        QVERIFY(old.contains(": first run\n"));
        QVERIFY(!old.contains("second run"));
    }

    void formatsLikePrintf()
    {
        const QString text = QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xB5");
        WriteLog("song [%ls]", qUtf16Printable(text));
        WriteLog("failed %x", E_FAIL);
        WriteLog("%x", MakeHResult(0x80400011u));
        WriteLog("st=%d", -1);
        WriteLog("%lf", 12.5);
        DebugPrint(QStringLiteral("ends with blank "));

        QStringList texts;
        QVERIFY(ReadLogTexts(texts));
        const QStringList expected = {
            QStringLiteral("song [") + text + QStringLiteral("]"),
            QStringLiteral("failed 80004005"),
            QStringLiteral("80400011"),
            QStringLiteral("st=-1"),
            QStringLiteral("12.500000"),
            QStringLiteral("ends with blank "),
        };
        QCOMPARE(texts, expected);
    }

    void linesOfManyThreadsStayWhole()
    {
        const int threadCount = 8;
        const int linesPerThread = 500;
        QList<QThread*> threads;
        for (int t = 0; t < threadCount; ++t) {
            threads.append(QThread::create([t, linesPerThread] {
                for (int i = 0; i < linesPerThread; ++i)
                    WriteLog("thread %d line %d [%ls]", t, i, qUtf16Printable(QStringLiteral("\u00e4\u00f6\u00fc")));
            }));
        }
        for (QThread* thread : qAsConst(threads))
            thread->start();
        for (QThread* thread : qAsConst(threads)) {
            QVERIFY(thread->wait(60000));
            delete thread;
        }

        QStringList texts;
        QVERIFY(ReadLogTexts(texts));
        QCOMPARE(texts.size(), threadCount * linesPerThread);
        const QRegularExpression pattern(QStringLiteral("^thread (\\d) line (\\d+) \\[\u00e4\u00f6\u00fc\\]$"));
        QSet<QString> seen;
        QVector<int> lastOfThread(threadCount, -1);
        for (const QString& text : qAsConst(texts)) {
            const QRegularExpressionMatch match = pattern.match(text);
            QVERIFY2(match.hasMatch(), qPrintable(text));
            const int t = match.captured(1).toInt();
            const int i = match.captured(2).toInt();
            QVERIFY(t < threadCount);
            QVERIFY2(i == lastOfThread[t] + 1, "a thread's lines out of order or lost");
            lastOfThread[t] = i;
            seen.insert(text);
        }
        QCOMPARE(seen.size(), threadCount * linesPerThread);
    }

    void toolkitMessagesLandInTheLog()
    {
        qWarning("a warning of the toolkit");
        qDebug("a debug message");
        // Filter rules of the environment silence Qt's categories but never the program's own log.
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
        WriteLog("still logged %d", 7);

        QStringList texts;
        QVERIFY(ReadLogTexts(texts));
        QCOMPARE(texts.join(QLatin1Char('|')), QStringLiteral("a warning of the toolkit|a debug message|still logged 7"));
    }

    void stopwatchAndClose()
    {
        {
            CStopwatch stopwatch(QStringLiteral("LoadCache"));
        }
        CloseLog();
        WriteLog("after close");

        QStringList texts;
        QVERIFY(ReadLogTexts(texts));
        QCOMPARE(texts.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("^LoadCache\\[TIME\\]=\\d+ms$")).match(texts.first()).hasMatch(),
                 qPrintable(texts.first()));
    }
};

SV_TEST_MAIN(TestLog)
#include "tst_log.moc"
