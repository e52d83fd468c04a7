#include "support/testmain.h"

#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSet>
#include <QThread>

#include "core/corefiles.h"
#include "core/log.h"

namespace {

// The texts of a log file's lines, each checked for its time stamp; "bad" when the BOM or a line end is missing.
QStringList LogTexts(const QString& path)
{
    static const QRegularExpression stamp(QStringLiteral("^\\d{4}\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}: "));
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (!bytes.startsWith("\xEF\xBB\xBF") || !bytes.endsWith('\n'))
        return {QStringLiteral("bad")};
    QStringList texts;
    for (const QString& line : QString::fromUtf8(bytes.mid(3)).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        texts.append(stamp.match(line).hasMatch() ? line.mid(25) : QStringLiteral("unstamped: ") + line);
    return texts;
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

    void formatsAndKeepsThePreviousRun()
    {
        WriteLog("first run");
        CloseLog();
        QVERIFY(SUCCEEDED(OpenLog()));

        const QString text = QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xB5");
        WriteLog("song [%ls] failed %x st=%d", qUtf16Printable(text), E_FAIL, -1);
        qWarning("a warning of the toolkit");
        // Filter rules silence Qt's categories, never the program's own log.
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
        WriteLog("still logged");
        QCOMPARE(LogTexts(GetLogFilePath()), (QStringList{QStringLiteral("song [%1] failed 80004005 st=-1").arg(text),
                                                          "a warning of the toolkit", "still logged"}));
        QCOMPARE(LogTexts(GetLogFilePath() + QStringLiteral(".1")), QStringList{QStringLiteral("first run")});
    }

    void linesOfManyThreadsStayWhole()
    {
        QList<QThread*> threads;
        for (int t = 0; t < 8; ++t) {
            threads.append(QThread::create([t] {
                for (int i = 0; i < 500; ++i)
                    WriteLog("thread %d line %d [%ls]", t, i, qUtf16Printable(QStringLiteral("\u00e4\u00f6\u00fc")));
            }));
            threads.last()->start();
        }
        for (QThread* thread : qAsConst(threads)) {
            QVERIFY(thread->wait(60000));
            delete thread;
        }

        const QStringList texts = LogTexts(GetLogFilePath());
        QCOMPARE(QSet<QString>(texts.begin(), texts.end()).size(), 4000);  // none lost, none twice
        // Every line arrives whole.
        const QRegularExpression pattern(QStringLiteral("^thread [0-7] line \\d+ \\[\u00e4\u00f6\u00fc\\]$"));
        for (const QString& text : texts)
            QVERIFY2(pattern.match(text).hasMatch(), qPrintable(text));
    }
};

SV_TEST_MAIN(TestLog)
#include "tst_log.moc"
