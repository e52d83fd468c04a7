#include "support/testmain.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QTranslator>
#include <memory>

#include "core/coreinterfacelanguage.h"
#include "core/corefeatures.h"
#include "core/errormsghelper.h"
#include "core/resultcodes.h"
#include "core/translatedstring.h"

namespace {

const char* const Context = "CCoreInterfaceLanguage";

// A translation with German plural forms, so plural handling is tested without a compiled file.
class CPluralTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override
    {
        Q_UNUSED(disambiguation);
        if (qstrcmp(context, "TestTexts") != 0 || qstrcmp(sourceText, "%n song(s)") != 0)
            return QString();
        return n == 1 ? QStringLiteral("ein Lied") : QStringLiteral("%n Lieder");
    }
    bool isEmpty() const override { return false; }
};

// The lyric languages the service falls back to.
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

    void textsFollowLanguageSwitch_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("german");
        QTest::addColumn<QString>("menuTitle");
        QTest::addColumn<QString>("cancelled");

        QTest::newRow("German") << "de" << QString::fromUtf8("Deutsch") << QString::fromUtf8("Oberflächensprache")
                                << "Abgebrochen";
        QTest::newRow("Russian") << "ru" << QString::fromUtf8("Немецкий") << QString::fromUtf8("Язык интерфейса")
                                 << QString::fromUtf8("Отменено");
    }

    void textsFollowLanguageSwitch()
    {
        QFETCH(QString, code);
        QFETCH(QString, german);
        QFETCH(QString, menuTitle);
        QFETCH(QString, cancelled);

        QVERIFY(!GetCoreInterfaceLanguage());
        QLabel outside;
        SetTranslatedText(&outside, CCoreInterfaceLanguage::GetLanguageName(QStringLiteral("de")));
        QVERIFY(outside.text().isEmpty());  // nothing happens without the language object

        auto language = std::make_unique<CCoreInterfaceLanguage>();
        QCOMPARE(GetCoreInterfaceLanguage(), language.get());
        QCOMPARE(language->GetCurrentTranslation(), QStringLiteral("en"));
        QSignalSpy changed(language.get(), &CCoreInterfaceLanguage::WhenLocaleChanged);

        QLabel label;
        SetTranslatedText(&label, CCoreInterfaceLanguage::GetLanguageName(QStringLiteral("fr")));
        SetTranslatedText(&label, CCoreInterfaceLanguage::GetLanguageName(QStringLiteral("de")));  // replaces
        SetTranslatedProperty(&label, "toolTip", CTranslatedStringDesc("Interface Language", Context));
        QObject plain;
        SetTranslatedProperty(&plain, "caption", CTranslatedStringDesc(QStringLiteral("Sonvero")));
        auto* gone = new QLabel;
        SetTranslatedText(gone, CCoreInterfaceLanguage::GetLanguageName(QStringLiteral("ru")));
        delete gone;
        QCOMPARE(label.text(), QStringLiteral("German"));
        QCOMPARE(label.toolTip(), QStringLiteral("Interface Language"));
        QCOMPARE(plain.property("caption").toString(), QStringLiteral("Sonvero"));

        QCOMPARE(language->SetCurrentTranslation(code), S_OK);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(label.text(), german);
        QCOMPARE(label.toolTip(), menuTitle);
        QCOMPARE(plain.property("caption").toString(), QStringLiteral("Sonvero"));
        QCOMPARE(CErrorMsgHelper::ErrorMessage(SV_E_CANCELLED), cancelled);
        QCOMPARE(QSettings().value(QStringLiteral("interface/translation")).toString(), code);

        QCOMPARE(language->SetCurrentTranslation(code), S_FALSE);
        QTest::ignoreMessage(QtDebugMsg, "CCoreInterfaceLanguage::SetCurrentTranslation: no translation [xx]");
        QCOMPARE(language->SetCurrentTranslation(QStringLiteral("xx")), E_INVALIDARG);
        QCOMPARE(changed.count(), 1);

        QCOMPARE(language->SetCurrentTranslation(QStringLiteral("en")), S_OK);
        QCOMPARE(label.text(), QStringLiteral("German"));
        QCOMPARE(CErrorMsgHelper::ErrorMessage(SV_E_CANCELLED), QStringLiteral("Canceled"));

        // The choice is kept for the next start.
        language->SetCurrentTranslation(code);
        language.reset();
        QVERIFY(!GetCoreInterfaceLanguage());
        QCOMPARE(CErrorMsgHelper::ErrorMessage(SV_E_CANCELLED), QStringLiteral("Canceled"));  // translator removed
        CCoreInterfaceLanguage again;
        QCOMPARE(again.GetCurrentTranslation(), code);
        QCOMPARE(CCoreInterfaceLanguage::GetLanguageName(QStringLiteral("de")).Translate(), german);
    }

    void languageMenu()
    {
        CCoreInterfaceLanguage language;
        QVERIFY(CoreFeatures::SetFeatureEnabled(CoreFeatures::FeatureInterfaceLanguageMenu, false));
        QVERIFY(!language.GetLanguageMenu());
        QVERIFY(CoreFeatures::SetFeatureEnabled(CoreFeatures::FeatureInterfaceLanguageMenu, true));
        QMenu* menu = language.GetLanguageMenu();
        QVERIFY(menu);
        QCOMPARE(language.GetLanguageMenu(), menu);
        QCOMPARE(menu->title(), QStringLiteral("Interface Language"));

        QStringList codes;
        QAction* russian = nullptr;
        for (QAction* action : menu->actions()) {
            codes << action->data().toString();
            QCOMPARE(action->isChecked(), action->data().toString() == QLatin1String("en"));
            if (action->data().toString() == QLatin1String("ru"))
                russian = action;
        }
        QCOMPARE(codes, CCoreInterfaceLanguage::GetAvailableTranslations());
        QVERIFY(codes.contains(QStringLiteral("de")));
        QVERIFY(russian);
        QCOMPARE(russian->text(), QString::fromUtf8("Русский"));

        QSignalSpy changed(&language, &CCoreInterfaceLanguage::WhenLocaleChanged);
        russian->trigger();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(language.GetCurrentTranslation(), QStringLiteral("ru"));
        QVERIFY(russian->isChecked());
        QCOMPARE(menu->title(), QString::fromUtf8("Язык интерфейса"));
    }

    void allTranslations_data()
    {
        QTest::addColumn<CTranslatedStringDesc>("text");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("empty") << CTranslatedStringDesc() << QStringList();
        QTest::newRow("plain text only") << CTranslatedStringDesc(QStringLiteral("Rock")) << QStringList{"Rock"};
        QTest::newRow("every translation") << CTranslatedStringDesc("German", Context)
                                           << QStringList{"German", "Deutsch", QString::fromUtf8("Немецкий")};
        QTest::newRow("a translation equal to the source")
            << CTranslatedStringDesc("Hindi", Context) << QStringList{"Hindi", QString::fromUtf8("Хинди")};
        QTest::newRow("untranslated") << CTranslatedStringDesc("No such text", Context) << QStringList{"No such text"};
        QTest::newRow("other context") << CTranslatedStringDesc("German", "SomeoneElse") << QStringList{"German"};
    }

    void allTranslations()
    {
        QFETCH(CTranslatedStringDesc, text);
        QFETCH(QStringList, expected);
        QCOMPARE(CCoreInterfaceLanguage::GetAllTranslations(text), expected);
        // The current language does not matter.
        CCoreInterfaceLanguage language;
        language.SetCurrentTranslation(QStringLiteral("ru"));
        QCOMPARE(CCoreInterfaceLanguage::GetAllTranslations(text), expected);
    }

    void formatPlural()
    {
        const CTranslatedStringDesc songs("%n song(s)", "TestTexts");
        QCOMPARE(songs.FormatPlural(1), QStringLiteral("1 song(s)"));
        QCOMPARE(songs.FormatPlural(3), QStringLiteral("3 song(s)"));
        QCOMPARE(CTranslatedStringDesc(QStringLiteral("%n files")).FormatPlural(2), QStringLiteral("2 files"));

        CPluralTranslator german;
        QCoreApplication::installTranslator(&german);
        QCOMPARE(songs.FormatPlural(1), QStringLiteral("ein Lied"));
        QCOMPARE(songs.FormatPlural(5), QStringLiteral("5 Lieder"));
        CTranslatedStringDesc counted = songs;
        counted.m_pluralCount = 7;
        QCOMPARE(counted.Translate(), QStringLiteral("7 Lieder"));
        QCoreApplication::removeTranslator(&german);
        QCOMPARE(songs.FormatPlural(5), QStringLiteral("5 song(s)"));
    }

    void variantRoundTrip()
    {
        CTranslatedStringDesc text("Interface Language", Context, "menu", 0, -1);
        const QVariant value = text.ToVariant();
        QCOMPARE(CTranslatedStringDesc::FromVariant(value), text);
        QVERIFY(CTranslatedStringDesc::FromVariant(QVariant(QStringLiteral("text"))).IsEmpty());
        const CTranslatedStringDesc plain(QStringLiteral("Rock"));
        QCOMPARE(CTranslatedStringDesc::FromVariant(plain.ToVariant()).Translate(), QStringLiteral("Rock"));
    }

    void languageNames()
    {
        CCoreInterfaceLanguage language;
        QSet<QString> english;
        for (const char* code : LyricCodes) {
            const CTranslatedStringDesc name = CCoreInterfaceLanguage::GetLanguageName(QLatin1String(code));
            QVERIFY2(!name.IsEmpty(), code);
            QCOMPARE(name.m_pluralCount, -1);
            QCOMPARE(QByteArray(name.m_context), QByteArray(Context));
            english.insert(name.Translate());
        }
        QCOMPARE(english.size(), int(sizeof(LyricCodes) / sizeof(LyricCodes[0])));  // no name twice

        // Every interface language names them (a few names are the same in German and English).
        for (const QString& translation : CCoreInterfaceLanguage::GetAvailableTranslations()) {
            if (translation == QLatin1String("en"))
                continue;
            language.SetCurrentTranslation(translation);
            int translated = 0;
            for (const char* code : LyricCodes) {
                const CTranslatedStringDesc name = CCoreInterfaceLanguage::GetLanguageName(QLatin1String(code));
                if (name.Translate() != QString::fromUtf8(name.m_sourceText))
                    ++translated;
            }
            QVERIFY2(translated >= english.size() - 3, qPrintable(translation));
        }
        language.SetCurrentTranslation(QStringLiteral("ru"));
        for (const char* code : LyricCodes)
            QVERIFY2(CCoreInterfaceLanguage::GetLanguageName(QLatin1String(code)).Translate().at(0).unicode() >= 0x400,
                     code);  // every Russian name is in Cyrillic
        QCOMPARE(CCoreInterfaceLanguage::GetLanguageName(QStringLiteral("ZH-cn")).Translate(),
                 CCoreInterfaceLanguage::GetLanguageName(QStringLiteral("zh-CN")).Translate());
        for (const QString& code : {QString(), QStringLiteral("xx"), QStringLiteral("pt")}) {
            const CTranslatedStringDesc none = CCoreInterfaceLanguage::GetLanguageName(code);
            QVERIFY(none.IsEmpty());
            QCOMPARE(none.m_pluralCount, -1);
        }
    }
};

SV_TEST_MAIN(TestTexts)
#include "tst_texts.moc"
