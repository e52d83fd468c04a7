#include "support/testmain.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include "core/broadcastmessages.h"
#include "core/coreapplicationobject.h"
#include "core/corefiles.h"
#include "core/startup.h"
#include "platform/win/singleinstance.h"

// The test executable runs the real start-up in a child process of itself. The child's window writes
// what it saw into the data directory and quits as the variable "SVTEST_QUIT" says:
// "now" at once, "message" on any message from another copy, "common" on the shutdown message only.
static const char* const ChildVariable = "SVTEST_STARTUP_CHILD";
static const char* const QuitVariable = "SVTEST_QUIT";

static void AppendLine(const QString& path, const QString& line)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        file.write(line.toUtf8() + '\n');
        file.flush();
    }
}

static QWidget* MakeChildWindow(CCoreApplicationObject** appObject)
{
    auto* window = new QWidget;
    window->show();
    const QString pid = QString::number(QCoreApplication::applicationPid());
    const QString quit = qEnvironmentVariable(QuitVariable);

    // A setting written the way the program writes them, to see that the file stays private.
    QSettings settings;
    settings.setValue(QStringLiteral("test/pid"), pid);
    settings.sync();

    CSingleInstance* instance = CSingleInstance::Instance();
    if (instance) {
        QObject::connect(instance, &CSingleInstance::WhenMessage, window,
                         [pid, quit](quint32 id, qintptr wParam, qintptr lParam) {
                             AppendLine(GetDataDirectory() + QStringLiteral("/messages-") + pid,
                                        QStringLiteral("%1 %2 %3").arg(id).arg(wParam).arg(lParam));
                             if (quit == QLatin1String("message")
                                 || (quit == QLatin1String("common") && id == GetCommonBroadcastMessageId()))
                                 QCoreApplication::quit();
                         });
    }
    const QString ready = GetDataDirectory() + QStringLiteral("/ready-") + pid;
    AppendLine(ready, QStringLiteral("slot=%1").arg(appObject == GetCoreApplicationObjectSlot() ? 1 : 0));
    AppendLine(ready, QStringLiteral("ids=%1 %2").arg(GetBroadcastMessageId()).arg(GetCommonBroadcastMessageId()));
    AppendLine(ready, QStringLiteral("marker=%1").arg(instance ? instance->CommonMarkerPath() : QString()));

    if (quit == QLatin1String("now"))
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    // A child of a failed test never outlives it for long.
    QTimer::singleShot(20000, qApp, &QCoreApplication::quit);
    return window;
}

class TestStartup : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_root;
    int m_case = 0;
    QString m_dataHome;

    QString DataDir() const { return m_dataHome + QStringLiteral("/Sonvero"); }

    // Starts the child and returns its process id (kept: QProcess forgets it when the child ends).
    QString StartChild(QProcess& process, const QString& quit, const QStringList& arguments = QStringList())
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(ChildVariable), QStringLiteral("1"));
        environment.insert(QString::fromLatin1(QuitVariable), quit);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dataHome);
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QCoreApplication::applicationFilePath(), arguments);
        if (!process.waitForStarted(5000))
            qWarning("child did not start: %s", qPrintable(process.errorString()));
        return QString::number(process.processId());
    }

    static int ExitCode(const QProcess& process) { return static_cast<qint8>(process.exitCode()); }

    static QStringList ReadLines(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringList();
        QByteArray bytes = file.readAll();
        if (bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
        return QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // The log's texts without their time stamps (every line must carry one).
    static QStringList LogTexts(const QString& path)
    {
        static const QRegularExpression stamp(QStringLiteral("^\\d{4}\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}: "));
        QStringList texts;
        for (const QString& line : ReadLines(path)) {
            const QRegularExpressionMatch match = stamp.match(line);
            if (!match.hasMatch())
                return QStringList{QStringLiteral("unstamped: ") + line};
            texts.append(line.mid(match.capturedLength()));
        }
        return texts;
    }

    static QString ReadyValue(const QString& readyFile, const QString& key)
    {
        for (const QString& line : ReadLines(readyFile)) {
            if (line.startsWith(key + QLatin1Char('=')))
                return line.mid(key.size() + 1);
        }
        return QString();
    }

    static int Mode(const QString& path)
    {
        struct stat info;
        if (::stat(QFile::encodeName(path).constData(), &info) != 0)
            return -1;
        return int(info.st_mode & 07777);
    }

private slots:
    void init()
    {
        // A data location of its own per case; the runtime folder (lock and socket) is the test's.
        m_dataHome = m_root.path() + QStringLiteral("/case%1").arg(++m_case);
    }

    void startAndShutdown_data()
    {
        QTest::addColumn<bool>("leftovers");
        QTest::newRow("first start") << false;
        QTest::newRow("start over an earlier run") << true;
    }

    void startAndShutdown()
    {
        QFETCH(bool, leftovers);
        const QString ini = DataDir() + QStringLiteral("/Sonvero.ini");
        if (leftovers) {
            QVERIFY(QDir().mkpath(DataDir() + QStringLiteral("/temp/sub")));
            AppendLine(DataDir() + QStringLiteral("/temp/sv1.tmp"), QStringLiteral("old"));
            AppendLine(DataDir() + QStringLiteral("/temp/sub/sv2.tmp"), QStringLiteral("old"));
            AppendLine(ini, QStringLiteral("[earlier]\nkey=kept"));
            QVERIFY(QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        }

        QProcess child;
        const QString pid = StartChild(child, QStringLiteral("now"));
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ExitCode(child), 0);

        QVERIFY(QFileInfo(DataDir()).isDir());
        QVERIFY(QFileInfo(DataDir() + QStringLiteral("/reports")).isDir());
        QVERIFY(QFileInfo(DataDir() + QStringLiteral("/temp")).isDir());
        QCOMPARE(QDir(DataDir() + QStringLiteral("/temp")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());

        // The settings file is private and is the one the program's settings go to.
        QCOMPARE(Mode(ini), 0600);
        QSettings settings(ini, QSettings::IniFormat);
        QCOMPARE(settings.value(QStringLiteral("test/pid")).toString(), pid);
        if (leftovers)
            QCOMPARE(settings.value(QStringLiteral("earlier/key")).toString(), QStringLiteral("kept"));

        const QString readyFile = DataDir() + QStringLiteral("/ready-") + pid;
        QCOMPARE(ReadyValue(readyFile, QStringLiteral("slot")), QStringLiteral("1"));
        QCOMPARE(ReadyValue(readyFile, QStringLiteral("ids")), QStringLiteral("%1 %2")
                     .arg(CSingleInstance::BroadcastMessageId)
                     .arg(CSingleInstance::CommonBroadcastMessageId));

        QFile log(DataDir() + QStringLiteral("/sonvero.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.read(3) == "\xEF\xBB\xBF");
        const QStringList texts = LogTexts(log.fileName());
        QVERIFY2(texts.size() >= 4, qPrintable(texts.join(QLatin1Char('|'))));
        QCOMPARE(texts.first(), QStringLiteral("Started"));
        QVERIFY2(texts.at(1).startsWith(QStringLiteral("version: ")), qPrintable(texts.at(1)));
        QVERIFY2(texts.at(2).startsWith(QStringLiteral("os: ")), qPrintable(texts.at(2)));
        QCOMPARE(texts.last(), QStringLiteral("exiting"));
        QCOMPARE(texts.count(QStringLiteral("Started")), 1);
    }

    void unusableDataDirectory()
    {
        // A file where the data location's folder would have to be.
        QVERIFY(QDir().mkpath(m_dataHome));
        AppendLine(m_dataHome + QStringLiteral("/blocker"), QStringLiteral("file"));
        m_dataHome += QStringLiteral("/blocker/data");

        QProcess child;
        StartChild(child, QStringLiteral("now"));
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ExitCode(child), int(SonveroExitNoDataDirectory));
        QVERIFY(!QFileInfo::exists(CSingleInstance::ServerPath()));
    }

    void secondInstanceSignalsFirst()
    {
        QProcess first;
        const QString firstPid = StartChild(first, QStringLiteral("message"));
        const QString readyFile = DataDir() + QStringLiteral("/ready-") + firstPid;
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(readyFile), 15000);
        const QString marker = ReadyValue(readyFile, QStringLiteral("marker"));
        QVERIFY(!marker.isEmpty());
        QVERIFY(QFileInfo::exists(marker));

        QProcess second;
        const QString secondPid = StartChild(second, QStringLiteral("now"));
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(ExitCode(second), int(SonveroExitAnotherInstanceRuns));

        // The first shows itself (here: notes the message and quits) and is otherwise untouched.
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(ExitCode(first), 0);
        const QStringList messages = ReadLines(DataDir() + QStringLiteral("/messages-") + firstPid);
        QCOMPARE(messages, QStringList{QStringLiteral("%1 0 0").arg(CSingleInstance::BroadcastMessageId)});
        QVERIFY(!QFileInfo::exists(DataDir() + QStringLiteral("/ready-") + secondPid));
        // The second never opened the log, which would have moved the first one's aside.
        QVERIFY(!QFileInfo::exists(DataDir() + QStringLiteral("/sonvero.log.1")));
        const QStringList texts = LogTexts(DataDir() + QStringLiteral("/sonvero.log"));
        QCOMPARE(texts.count(QStringLiteral("Started")), 1);
        QCOMPARE(texts.last(), QStringLiteral("exiting"));
        // Gone with the first copy: its marker and its socket.
        QVERIFY(!QFileInfo::exists(marker));
        QVERIFY(!QFileInfo::exists(CSingleInstance::ServerPath()));
    }

    void updatedWaitsForFirstToGo()
    {
        QProcess first;
        const QString firstPid = StartChild(first, QStringLiteral("common"));
        const QString firstReady = DataDir() + QStringLiteral("/ready-") + firstPid;
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(firstReady), 15000);

        QProcess updated;
        const QString updatedPid = StartChild(updated, QStringLiteral("now"), {QStringLiteral("--updated")});
        // Still waiting for the lock while the first runs.
        QVERIFY(!updated.waitForFinished(400));
        QCOMPARE(updated.state(), QProcess::Running);

        QCOMPARE(CSingleInstance::SendCommonShutdown(), S_OK);
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(ExitCode(first), 0);
        QCOMPARE(ReadLines(DataDir() + QStringLiteral("/messages-") + firstPid),
                 QStringList{QStringLiteral("%1 0 0").arg(CSingleInstance::CommonBroadcastMessageId)});

        QVERIFY(updated.waitForFinished(15000));
        QCOMPARE(ExitCode(updated), 0);
        QVERIFY(QFileInfo::exists(DataDir() + QStringLiteral("/ready-") + updatedPid));
        // Each copy ran its whole life: the first's log went aside when the updated one started.
        QCOMPARE(LogTexts(DataDir() + QStringLiteral("/sonvero.log.1")).last(), QStringLiteral("exiting"));
        const QStringList texts = LogTexts(DataDir() + QStringLiteral("/sonvero.log"));
        QCOMPARE(texts.first(), QStringLiteral("Started"));
        QCOMPARE(texts.last(), QStringLiteral("exiting"));
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(ChildVariable))
        return SonveroMain(argc, argv, &MakeChildWindow);
    SvTest::CTestEnvironment environment;
    QApplication app(argc, argv);
    TestStartup tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_startup.moc"
