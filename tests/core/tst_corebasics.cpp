#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QThread>
#include <QTranslator>

#include <utility>

#include "core/corefeatures.h"
#include "core/corefiles.h"
#include "core/errormsghelper.h"
#include "core/resultcodes.h"

namespace {

// Translates every text of one context by marking it, to see that a text follows the interface language.
class CMarkingTranslator : public QTranslator
{
public:
    explicit CMarkingTranslator(const char* context) : m_context(context) {}
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (qstrcmp(context, m_context) != 0)
            return QString();
        return QStringLiteral("<") + QString::fromUtf8(sourceText) + QStringLiteral(">");
    }

private:
    const char* m_context;
};

// Hook N knows code -1000 - N and claims -999 and the own "cancelled" code.
template <int N>
bool NumberedHook(int code, QString& text)
{
    if (code == -1000 - N || code == -999 || code == int(SV_E_CANCELLED)) {
        text = QStringLiteral("hook %1").arg(N);
        return true;
    }
    return false;
}

template <int... N>
QVector<CErrorMsgHelper::GetErrorMessageHook> MakeHooks(std::integer_sequence<int, N...>)
{
    return {&NumberedHook<N>...};
}

bool TouchFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x", 1) == 1;
}

} // namespace

class TestCoreBasics : public QObject
{
    Q_OBJECT
private slots:
    void featureBounds_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("changeable");

        QTest::newRow("-1") << -1 << false << false;
        QTest::newRow("0") << 0 << false << false;
        QTest::newRow("1 ads") << 1 << true << true;
        QTest::newRow("26 sign-in optional") << 26 << true << true;
        QTest::newRow("29 lock") << 29 << false << true;
        QTest::newRow("33") << 33 << false << true;
        QTest::newRow("34") << 34 << false << false;
        QTest::newRow("min int") << std::numeric_limits<int>::min() << false << false;
    }

    void featureBounds()
    {
        QFETCH(int, n);
        QFETCH(bool, enabled);
        QFETCH(bool, changeable);
        CoreFeatures::InitializeFeatures();
        QCOMPARE(CoreFeatures::IsFeatureEnabled(n), enabled);
        QCOMPARE(CoreFeatures::CanChangeFeature(n), changeable);

        QCOMPARE(CoreFeatures::SetFeatureEnabled(n, !enabled), changeable);
        QCOMPARE(CoreFeatures::IsFeatureEnabled(n), changeable ? !enabled : false);
        CoreFeatures::InitializeFeatures();
    }

    void developerMenuLock()
    {
        CoreFeatures::InitializeFeatures();
        QTest::ignoreMessage(QtDebugMsg, "CoreFeatures::SetFeatureEnabled: id=33 v=1");
        QVERIFY(CoreFeatures::SetFeatureEnabled(33, true));
        QTest::ignoreMessage(QtDebugMsg, "CoreFeatures::SetFeatureEnabled: id=29 v=1");
        QVERIFY(CoreFeatures::SetFeatureEnabled(29, true));

        for (int n = 0; n < 34; ++n)
            QVERIFY(!CoreFeatures::CanChangeFeature(n));
        QVERIFY(!CoreFeatures::SetFeatureEnabled(33, false));
        QVERIFY(!CoreFeatures::SetFeatureEnabled(29, false));
        QVERIFY(CoreFeatures::IsFeatureEnabled(33));
        QVERIFY(CoreFeatures::IsFeatureEnabled(29));

        CoreFeatures::InitializeFeatures();
        QVERIFY(!CoreFeatures::IsFeatureEnabled(29));
        QVERIFY(!CoreFeatures::IsFeatureEnabled(33));
        QVERIFY(CoreFeatures::CanChangeFeature(1));
    }

    void everyOwnCodeHasAText()
    {
        QString generic;
        QVERIFY(CErrorMsgHelper::GetErrorMessage(E_FAIL, generic, 1));
        QSet<QString> texts;
        for (HRESULT code : SV_OWN_CODES) {
            QString text;
            QVERIFY2(CErrorMsgHelper::GetErrorMessage(code, text, 0), qPrintable(QString::number(quint32(code), 16)));
            QVERIFY(!text.isEmpty());
            QVERIFY(text != generic);
            QCOMPARE(CErrorMsgHelper::ErrorMessage(code), text);
            texts.insert(text);
        }
        QCOMPARE(texts.size(), int(sizeof(SV_OWN_CODES) / sizeof(SV_OWN_CODES[0])));
        QCOMPARE(CErrorMsgHelper::ErrorMessage(SV_E_CANCELLED), QStringLiteral("Canceled"));
    }

    void unknownAndSuccessCodes()
    {
        QString text = QStringLiteral("stale");
        QVERIFY(!CErrorMsgHelper::GetErrorMessage(-12345, text, 0));
        QVERIFY(text.isEmpty());
        QVERIFY(CErrorMsgHelper::GetErrorMessage(-12345, text, 1));
        QCOMPARE(text, QStringLiteral("An internal error occurred! Please contact us."));

        QVERIFY(CErrorMsgHelper::ErrorMessage(0).isEmpty());
        QVERIFY(CErrorMsgHelper::ErrorMessage(1).isEmpty());
        QVERIFY(CErrorMsgHelper::ErrorMessage(E_FAIL).contains(QStringLiteral("0x80004005")));
        QVERIFY(CErrorMsgHelper::ErrorMessage(E_INVALIDARG).contains(QStringLiteral("0x800700a0"), Qt::CaseInsensitive));
    }

    void textsFollowTheLanguage()
    {
        CMarkingTranslator translator("CErrorMsgHelper");
        QVERIFY(QCoreApplication::installTranslator(&translator));
        QCOMPARE(CErrorMsgHelper::ErrorMessage(SV_E_CANCELLED), QStringLiteral("<Canceled>"));
        QString text;
        QVERIFY(CErrorMsgHelper::GetErrorMessage(-777, text, 1));
        QCOMPARE(text, QStringLiteral("<An internal error occurred! Please contact us.>"));
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(CErrorMsgHelper::ErrorMessage(SV_E_CANCELLED), QStringLiteral("Canceled"));
    }

    // Hooks stay installed for the whole process, so this is the one test that installs any.
    void hooksInOrderAtMostSixteen()
    {
        const QVector<CErrorMsgHelper::GetErrorMessageHook> hooks = MakeHooks(std::make_integer_sequence<int, 17>());

        QTest::ignoreMessage(QtDebugMsg, "CErrorMsgHelper::InstallGetErrorMessageHook: no hook");
        QCOMPARE(CErrorMsgHelper::InstallGetErrorMessageHook(nullptr), E_POINTER);

        QCOMPARE(CErrorMsgHelper::InstallGetErrorMessageHook(hooks[3]), S_OK);
        QCOMPARE(CErrorMsgHelper::InstallGetErrorMessageHook(hooks[0]), S_OK);
        QTest::ignoreMessage(QtDebugMsg, "CErrorMsgHelper::InstallGetErrorMessageHook: already installed");
        QCOMPARE(CErrorMsgHelper::InstallGetErrorMessageHook(hooks[3]), S_FALSE);

        QString text;
        QVERIFY(CErrorMsgHelper::GetErrorMessage(-999, text, 0));  // both know it: the first installed wins
        QCOMPARE(text, QStringLiteral("hook 3"));
        QVERIFY(CErrorMsgHelper::GetErrorMessage(-1000, text, 0));
        QCOMPARE(text, QStringLiteral("hook 0"));
        QCOMPARE(CErrorMsgHelper::ErrorMessage(-1003), QStringLiteral("hook 3"));
        QCOMPARE(CErrorMsgHelper::ErrorMessage(SV_E_CANCELLED), QStringLiteral("Canceled"));  // own table first

        for (int i = 1; i < 16; ++i) {
            if (i != 3)
                QCOMPARE(CErrorMsgHelper::InstallGetErrorMessageHook(hooks[i]), S_OK);
        }
        QTest::ignoreMessage(QtDebugMsg, "CErrorMsgHelper::InstallGetErrorMessageHook: too many hooks(16)");
        QCOMPARE(CErrorMsgHelper::InstallGetErrorMessageHook(hooks[16]), E_FAIL);
        QVERIFY(CErrorMsgHelper::GetErrorMessage(-1015, text, 0));
        QCOMPARE(text, QStringLiteral("hook 15"));
        QVERIFY(!CErrorMsgHelper::GetErrorMessage(-1016, text, 0));
        QVERIFY(CErrorMsgHelper::GetErrorMessage(-999, text, 0));
        QCOMPARE(text, QStringLiteral("hook 3"));
    }

    void folders()
    {
        const QString data = SvTest::Environment()->DataDirectory();
        QCOMPARE(GetDataDirectory(), data);
        QCOMPARE(GetReportsDirectory(), data + QStringLiteral("/reports"));
        QCOMPARE(GetTempDirectory(), data + QStringLiteral("/temp"));

        SvTest::Environment()->Reset();
        QVERIFY(QDir().mkpath(GetTempDirectory() + QStringLiteral("/old")));
        QVERIFY(TouchFile(GetTempDirectory() + QStringLiteral("/sv1.tmp")));
        QVERIFY(TouchFile(GetTempDirectory() + QStringLiteral("/old/sv2.tmp")));
        QVERIFY(TouchFile(data + QStringLiteral("/keep.xml")));
        QCOMPARE(PrepareDataFolders(), S_OK);
        QVERIFY(QDir(GetTempDirectory()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System));
        QVERIFY(QFileInfo(GetReportsDirectory()).isDir());
        QVERIFY(QFile::exists(data + QStringLiteral("/keep.xml")));
        QCOMPARE(PrepareDataFolders(), S_OK);
    }

    void tempNamesAreUniqueAcrossThreads()
    {
        const int threadCount = 4;
        const int perThread = 1000;
        QVector<QStringList> names(threadCount);
        QList<QThread*> threads;
        for (int t = 0; t < threadCount; ++t) {
            threads.append(QThread::create([&names, t, perThread] {
                for (int i = 0; i < perThread; ++i)
                    names[t].append(MakeTempFileName());
            }));
        }
        for (QThread* thread : qAsConst(threads))
            thread->start();
        for (QThread* thread : qAsConst(threads)) {
            QVERIFY(thread->wait(30000));
            delete thread;
        }
        QSet<QString> all;
        for (const QStringList& list : qAsConst(names)) {
            for (const QString& name : list) {
                QVERIFY(name.startsWith(GetTempDirectory() + QLatin1Char('/')));
                QVERIFY(name.endsWith(QStringLiteral(".tmp")));
                all.insert(name);
            }
        }
        QCOMPARE(all.size(), threadCount * perThread);
        QVERIFY(!QFile::exists(*all.begin()));
        QVERIFY(MakeTempFileName() != MakeTempFileName());
    }

    void fileNameHelpers_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("name");

        QTest::newRow("plain") << "/music/a/song.mp3" << "mp3" << "song.mp3";
        QTest::newRow("dotted folder") << "/music/a.b/song" << "" << "song";
        QTest::newRow("two dots") << "list.old.M3U" << "M3U" << "list.old.M3U";
        QTest::newRow("trailing dot") << "/x/name." << "" << "name.";
        QTest::newRow("folder path") << "/x/y/" << "" << "";
        QTest::newRow("empty") << "" << "" << "";
        QTest::newRow("non-Latin") << QString::fromUtf8("/m/\xE6\x97\xA5\xE6\x9C\xAC.flac") << "flac"
                                   << QString::fromUtf8("\xE6\x97\xA5\xE6\x9C\xAC.flac");
    }

    void fileNameHelpers()
    {
        QFETCH(QString, path);
        QFETCH(QString, suffix);
        QFETCH(QString, name);
        QCOMPARE(FileSuffix(path, false), suffix);
        QCOMPARE(FileSuffix(path, true), suffix.isEmpty() ? QString() : QStringLiteral(".") + suffix);
        QCOMPARE(FileNameOfPath(path), name);
    }

    void fileExists()
    {
        const QString data = GetDataDirectory();
        QVERIFY(QDir().mkpath(data + QStringLiteral("/folder")));
        QVERIFY(TouchFile(data + QStringLiteral("/file.txt")));
        QVERIFY(FileExists(data + QStringLiteral("/file.txt")));
        QVERIFY(!FileExists(data + QStringLiteral("/folder")));
        QVERIFY(!FileExists(data + QStringLiteral("/missing.txt")));
        QVERIFY(!FileExists(QString()));
    }
};

SV_TEST_MAIN(TestCoreBasics)
#include "tst_corebasics.moc"
