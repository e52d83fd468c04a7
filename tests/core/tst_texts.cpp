#include "support/testmain.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <iterator>
#include <memory>

#include "core/coreinterfacelanguage.h"
#include "core/corefeatures.h"
#include "core/errormsghelper.h"
#include "core/resultcodes.h"
#include "core/translatedstring.h"

namespace {

const char* const Context = "CCoreInterfaceLanguage";

// The lyric languages the service knows.
const char* const LyricCodes[] = {"af", "sq", "ar", "be", "bg", "ca", "zh", "zh-CN", "zh-TW", "hr", "cs",
                                  "da", "nl", "en", "et", "fi", "fr", "gl", "de", "el", "iw", "hi",
                                  "hu", "is", "id", "ga", "it", "ja", "ko", "lv", "lt", "mk", "ms",
                                  "mt", "no", "fa", "pl", "pt-PT", "ro", "ru", "sr", "sk", "sl", "es",
                                  "sw", "sv", "tl", "th", "tr", "uk", "vi", "cy", "yi"};

} // namespace

class TestTexts : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        QSettings().setValue(QStringLiteral("interface/translation"), QStringLiteral("en"));
    }

    void textsAndMenuFollowLanguageSwitch()
    {
        auto language = std::make_unique<CCoreInterfaceLanguage>();
        QSignalSpy changed(language.get(), &CCoreInterfaceLanguage::WhenLocaleChanged);
        QLabel label;
        SetTranslatedText(&label, CCoreInterfaceLanguage::GetLanguageName(QStringLiteral("fr")));
        SetTranslatedText(&label, CCoreInterfaceLanguage::GetLanguageName(QStringLiteral("de")));  // replaces
        SetTranslatedProperty(&label, "toolTip", CTranslatedStringDesc("Interface Language", Context));
        auto* gone = new QLabel;
        SetTranslatedText(gone, CCoreInterfaceLanguage::GetLanguageName(QStringLiteral("ru")));
        delete gone;
        QCOMPARE(label.text(), QStringLiteral("German"));

        QCOMPARE(language->SetCurrentTranslation(QStringLiteral("de")), S_OK);
        QCOMPARE(label.text(), QStringLiteral("Deutsch"));
        QCOMPARE(label.toolTip(), QString::fromUtf8("Oberflächensprache"));
        QCOMPARE(CErrorMsgHelper::ErrorMessage(SV_E_CANCELLED), QStringLiteral("Abgebrochen"));
        QTest::ignoreMessage(QtDebugMsg, "CCoreInterfaceLanguage::SetCurrentTranslation: no translation [xx]");
        QCOMPARE(language->SetCurrentTranslation(QStringLiteral("xx")), E_INVALIDARG);

        // The menu names each translation in its own language and switches too.
        QVERIFY(CoreFeatures::SetFeatureEnabled(CoreFeatures::FeatureInterfaceLanguageMenu, true));
        QMenu* menu = language->GetLanguageMenu();
        const QStringList codes = CCoreInterfaceLanguage::GetAvailableTranslations();
        QVERIFY(menu && menu->actions().size() == codes.size());
        QAction* russian = menu->actions().at(codes.indexOf(QStringLiteral("ru")));
        QCOMPARE(russian->text(), QString::fromUtf8("Русский"));
        russian->trigger();
        QVERIFY(russian->isChecked() && !menu->actions().at(codes.indexOf(QStringLiteral("de")))->isChecked());
        QCOMPARE(menu->title(), QString::fromUtf8("Язык интерфейса"));
        QCOMPARE(label.text(), QString::fromUtf8("Немецкий"));
        QCOMPARE(changed.count(), 2);

        // The choice is kept for the next start; the translator goes with the object.
        language.reset();
        QCOMPARE(CErrorMsgHelper::ErrorMessage(SV_E_CANCELLED), QStringLiteral("Canceled"));
        CCoreInterfaceLanguage again;
        QCOMPARE(again.GetCurrentTranslation(), QStringLiteral("ru"));
        QCOMPARE(CCoreInterfaceLanguage::GetLanguageName(QStringLiteral("de")).Translate(), QString::fromUtf8("Немецкий"));
    }

    void languageNamesAndAllTranslations()
    {
        CCoreInterfaceLanguage language;
        QSet<QString> english;
        for (const char* code : LyricCodes) {
            const CTranslatedStringDesc name = CCoreInterfaceLanguage::GetLanguageName(QLatin1String(code));
            QVERIFY2(!name.IsEmpty(), code);
            english.insert(name.Translate());
        }
        QCOMPARE(english.size(), int(std::size(LyricCodes)));  // no name twice

        language.SetCurrentTranslation(QStringLiteral("ru"));
        // Every language's text once, the current language notwithstanding.
        QCOMPARE(CCoreInterfaceLanguage::GetAllTranslations(CTranslatedStringDesc("German", Context)),
                 (QStringList{"German", "Deutsch", QString::fromUtf8("Немецкий")}));
        QCOMPARE(CCoreInterfaceLanguage::GetAllTranslations(CTranslatedStringDesc("Hindi", Context)),
                 (QStringList{"Hindi", QString::fromUtf8("Хинди")}));  // German's equals the source
        QCOMPARE(CCoreInterfaceLanguage::GetAllTranslations(CTranslatedStringDesc(QStringLiteral("Rock"))),
                 QStringList{"Rock"});
        for (const char* code : LyricCodes)
            QVERIFY2(CCoreInterfaceLanguage::GetLanguageName(QLatin1String(code)).Translate().at(0).unicode() >= 0x400,
                     code);  // every Russian name is in Cyrillic
        QVERIFY(CCoreInterfaceLanguage::GetLanguageName(QStringLiteral("pt")).IsEmpty());
    }
};

SV_TEST_MAIN(TestTexts)
#include "tst_texts.moc"
