#include "support/testmain.h"

#include <QFile>
#include <QSet>
#include <iterator>
#include <utility>

#include "core/corefeatures.h"
#include "core/corefiles.h"
#include "core/errormsghelper.h"
#include "core/resultcodes.h"

namespace {

// Hook N knows code -1000 - N; every hook claims -999 and the own "cancelled" code.
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
        QTest::newRow("33") << 33 << false << true;
        QTest::newRow("34") << 34 << false << false;
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
        QCOMPARE(CoreFeatures::IsFeatureEnabled(n), changeable != enabled);
    }

    void developerMenuLock()
    {
        CoreFeatures::InitializeFeatures();
        QTest::ignoreMessage(QtDebugMsg, "CoreFeatures::SetFeatureEnabled: id=33 v=1");
        QVERIFY(CoreFeatures::SetFeatureEnabled(33, true));
        QTest::ignoreMessage(QtDebugMsg, "CoreFeatures::SetFeatureEnabled: id=29 v=1");
        QVERIFY(CoreFeatures::SetFeatureEnabled(29, true));
        // Locked: nothing changes any more, not even the lock itself.
        for (int n = 0; n < 34; ++n)
            QVERIFY(!CoreFeatures::CanChangeFeature(n));
        QVERIFY(!CoreFeatures::SetFeatureEnabled(29, false));
        QVERIFY(CoreFeatures::IsFeatureEnabled(29));
        CoreFeatures::InitializeFeatures();
    }

    void errorTexts()
    {
        QString generic;
        QVERIFY(CErrorMsgHelper::GetErrorMessage(-12345, generic, 1));
        QCOMPARE(generic, QStringLiteral("An internal error occurred! Please contact us."));
        QString text;
        QSet<QString> texts;
        for (HRESULT code : SV_OWN_CODES) {
            QVERIFY2(CErrorMsgHelper::GetErrorMessage(code, text, 0), qPrintable(QString::number(quint32(code), 16)));
            QVERIFY(!text.isEmpty() && text != generic);
            texts.insert(text);
        }
        QCOMPARE(texts.size(), int(std::size(SV_OWN_CODES)));
        QVERIFY(CErrorMsgHelper::ErrorMessage(S_OK).isEmpty());
        QVERIFY(CErrorMsgHelper::ErrorMessage(E_FAIL).contains(QStringLiteral("0x80004005")));
    }

    // Hooks stay installed for the whole process, so this is the one test that installs any.
    void hooksInOrderAtMostSixteen()
    {
        const QVector<CErrorMsgHelper::GetErrorMessageHook> hooks = MakeHooks(std::make_integer_sequence<int, 17>());
        QTest::ignoreMessage(QtDebugMsg, "CErrorMsgHelper::InstallGetErrorMessageHook: no hook");
        QCOMPARE(CErrorMsgHelper::InstallGetErrorMessageHook(nullptr), E_POINTER);
        QCOMPARE(CErrorMsgHelper::InstallGetErrorMessageHook(hooks[3]), S_OK);
        QTest::ignoreMessage(QtDebugMsg, "CErrorMsgHelper::InstallGetErrorMessageHook: already installed");
        QCOMPARE(CErrorMsgHelper::InstallGetErrorMessageHook(hooks[3]), S_FALSE);
        for (int i = 0; i < 16; ++i)
            QVERIFY(i == 3 || CErrorMsgHelper::InstallGetErrorMessageHook(hooks[i]) == S_OK);
        QTest::ignoreMessage(QtDebugMsg, "CErrorMsgHelper::InstallGetErrorMessageHook: too many hooks(16)");
        QCOMPARE(CErrorMsgHelper::InstallGetErrorMessageHook(hooks[16]), E_FAIL);

        QCOMPARE(CErrorMsgHelper::ErrorMessage(-999), QStringLiteral("hook 3"));  // the first installed wins
        QCOMPARE(CErrorMsgHelper::ErrorMessage(-1015), QStringLiteral("hook 15"));
        QCOMPARE(CErrorMsgHelper::ErrorMessage(SV_E_CANCELLED), QStringLiteral("Canceled"));  // own table first
        QString text;
        QVERIFY(!CErrorMsgHelper::GetErrorMessage(-1016, text, 0));
    }

    void filesAndFolders()
    {
        const QString data = GetDataDirectory();
        QVERIFY(QFile(data + QStringLiteral("/keep.xml")).open(QIODevice::WriteOnly));
        QVERIFY(FileExists(data + QStringLiteral("/keep.xml")) && !FileExists(data));  // a folder is no file

        QCOMPARE(FileSuffix(QStringLiteral("/music/a.b/song"), false), QString());
        QCOMPARE(FileSuffix(QStringLiteral("list.old.M3U"), true), QStringLiteral(".M3U"));
        QCOMPARE(FileNameOfPath(QStringLiteral("/x/y/")), QString());

        const QString temp = MakeTempFileName();
        QVERIFY(temp.startsWith(GetTempDirectory() + QLatin1Char('/')) && temp.endsWith(QStringLiteral(".tmp")));
        QVERIFY(temp != MakeTempFileName());
    }
};

SV_TEST_MAIN(TestCoreBasics)
#include "tst_corebasics.moc"
