#include "support/testmain.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include "core/broadcastmessages.h"
#include "core/corefiles.h"
#include "core/startup.h"
#include "platform/win/singleinstance.h"

// The test executable runs the real start-up in a child process of itself, told by "SVTEST_QUIT" when to
// quit: "now" at once, "message" on any message from another copy, "common" on the shutdown message only.
// The child's window notes that it is up and the messages it gets in the data directory.
static const char* const QuitVariable = "SVTEST_QUIT";

static void AppendLine(const QString& path, const QString& line)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(line.toUtf8() + '\n');
}

static QWidget* MakeChildWindow(CCoreApplicationObject**)
{
    auto* window = new QWidget;
    window->show();
    const QString pid = QString::number(QCoreApplication::applicationPid());
    const QString quit = qEnvironmentVariable(QuitVariable);
    // A setting written the way the program writes them, to see that the file stays private.
    QSettings().setValue(QStringLiteral("test/pid"), pid);

    const QString notes = GetDataDirectory() + QStringLiteral("/notes-") + pid;
    QObject::connect(CSingleInstance::Instance(), &CSingleInstance::WhenMessage, window,
                     [notes, quit](quint32 id, qintptr wParam, qintptr lParam) {
                         AppendLine(notes, QStringLiteral("%1 %2 %3").arg(id).arg(wParam).arg(lParam));
                         if (quit == QLatin1String("message")
                             || (quit == QLatin1String("common") && id == GetCommonBroadcastMessageId()))
                             QCoreApplication::quit();
                     });
    AppendLine(notes, QStringLiteral("ready"));
    if (quit == QLatin1String("now"))
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QTimer::singleShot(20000, qApp, &QCoreApplication::quit);  // a child of a failed test never lingers
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
        environment.insert(QString::fromLatin1(QuitVariable), quit);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dataHome);
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QCoreApplication::applicationFilePath(), arguments);
        process.waitForStarted(5000);
        return QString::number(process.processId());
    }

    static int ExitCode(const QProcess& process) { return static_cast<qint8>(process.exitCode()); }

    // The lines of a file; of a log, without their time stamps (a stamp ends in the first ": ").
    static QStringList ReadLines(const QString& path, bool log = false)
    {
        QFile file(path);
        QStringList lines = QString::fromUtf8(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray())
                                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (QString& line : lines)
            line = log ? line.section(QStringLiteral(": "), 1, -1) : line;
        return lines;
    }

private slots:
    void init()
    {
        // A data location of its own per case; the runtime folder (lock and socket) is the test's.
        m_dataHome = m_root.path() + QStringLiteral("/case%1").arg(++m_case);
    }

    void startAndShutdownOverAnEarlierRun()
    {
        // Left by an earlier run: a temporary file, and settings readable by others.
        const QString ini = DataDir() + QStringLiteral("/Sonvero.ini");
        QVERIFY(QDir().mkpath(DataDir() + QStringLiteral("/temp/sub")));
        AppendLine(DataDir() + QStringLiteral("/temp/sub/sv2.tmp"), QStringLiteral("old"));
        AppendLine(ini, QStringLiteral("[earlier]\nkey=kept"));
        QVERIFY(QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));

        QProcess child;
        const QString pid = StartChild(child, QStringLiteral("now"));
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(ExitCode(child), 0);
        QVERIFY(QFileInfo(DataDir() + QStringLiteral("/reports")).isDir());
        QVERIFY(QDir(DataDir() + QStringLiteral("/temp")).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));

        // The settings file is private and is the one the program's settings go to.
        struct stat info;
        QCOMPARE(::stat(QFile::encodeName(ini).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 07777), 0600);
        QSettings settings(ini, QSettings::IniFormat);
        QCOMPARE(settings.value(QStringLiteral("test/pid")).toString(), pid);
        QCOMPARE(settings.value(QStringLiteral("earlier/key")).toString(), QStringLiteral("kept"));

        const QStringList texts = ReadLines(DataDir() + QStringLiteral("/sonvero.log"), true);
        QVERIFY2(texts.size() >= 4 && texts.first() == QLatin1String("Started") && texts.at(1).startsWith(QStringLiteral("version: "))
                     && texts.at(2).startsWith(QStringLiteral("os: ")) && texts.last() == QLatin1String("exiting"),
                 qPrintable(texts.join(QLatin1Char('|'))));
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
        QCOMPARE(ExitCode(child), int(SonveroExitNoDataDirectory));
        QVERIFY(!QFileInfo::exists(CSingleInstance::ServerPath()));
    }

    void secondInstanceSignalsFirst()
    {
        QProcess first;
        const QString firstPid = StartChild(first, QStringLiteral("message"));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(DataDir() + QStringLiteral("/notes-") + firstPid), 15000);
        QProcess second;
        StartChild(second, QStringLiteral("now"));
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(ExitCode(second), int(SonveroExitAnotherInstanceRuns));
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(ExitCode(first), 0);
        QCOMPARE(ReadLines(DataDir() + QStringLiteral("/notes-") + firstPid),
                 (QStringList{"ready", QStringLiteral("%1 0 0").arg(CSingleInstance::BroadcastMessageId)}));
        // The second never opened the log, which would have moved the first one's aside.
        QVERIFY(!QFileInfo::exists(DataDir() + QStringLiteral("/sonvero.log.1")));
        QCOMPARE(ReadLines(DataDir() + QStringLiteral("/sonvero.log"), true).count(QStringLiteral("Started")), 1);
        QVERIFY(!QFileInfo::exists(CSingleInstance::ServerPath()));
    }

    void updatedWaitsForFirstToGo()
    {
        QProcess first;
        const QString firstPid = StartChild(first, QStringLiteral("common"));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(DataDir() + QStringLiteral("/notes-") + firstPid), 15000);

        QProcess updated;
        const QString updatedPid = StartChild(updated, QStringLiteral("now"), {QStringLiteral("--updated")});
        QVERIFY(!updated.waitForFinished(400));  // still waiting for the lock while the first runs
        QCOMPARE(CSingleInstance::SendCommonShutdown(), S_OK);
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(ExitCode(first), 0);
        QVERIFY(updated.waitForFinished(15000));
        QCOMPARE(ExitCode(updated), 0);
        QVERIFY(QFileInfo::exists(DataDir() + QStringLiteral("/notes-") + updatedPid));
        // Each copy ran its whole life: the first's log went aside when the updated one started.
        QCOMPARE(ReadLines(DataDir() + QStringLiteral("/sonvero.log.1"), true).last(), QStringLiteral("exiting"));
        QCOMPARE(ReadLines(DataDir() + QStringLiteral("/sonvero.log"), true).first(), QStringLiteral("Started"));
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(QuitVariable))
        return SonveroMain(argc, argv, &MakeChildWindow);
    SvTest::CTestEnvironment environment;
    QApplication app(argc, argv);
    TestStartup tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_startup.moc"
