#include "core/coreinterfacelanguage.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QMenu>
#include <QSettings>
#include <QTranslator>
#include <memory>
#include <vector>

#include "core/corefeatures.h"
#include "core/log.h"

// The translations are compiled into sv_resources; a static library's resources must be registered
// by hand, from the global namespace.
static void InitStringResources()
{
    Q_INIT_RESOURCE(strings);
}

namespace {

const char* const Context = "CCoreInterfaceLanguage";
const char* const TranslationKey = "interface/translation";
const char* const ResourceFolder = ":/strings";
const char* const FilePrefix = "sonvero_";

struct CLanguageName
{
    const char* code;
    const char* name;
};

// Every lyric language the service offers, and the interface languages.
const CLanguageName LanguageNames[] = {
    {"af", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Afrikaans")},
    {"sq", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Albanian")},
    {"ar", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Arabic")},
    {"be", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Belarusian")},
    {"bg", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Bulgarian")},
    {"ca", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Catalan")},
    {"zh", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Chinese")},
    {"zh-CN", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Chinese (Simplified)")},
    {"zh-TW", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Chinese (Traditional)")},
    {"hr", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Croatian")},
    {"cs", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Czech")},
    {"da", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Danish")},
    {"nl", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Dutch")},
    {"en", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "English")},
    {"et", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Estonian")},
    {"fi", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Finnish")},
    {"fr", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "French")},
    {"gl", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Galician")},
    {"de", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "German")},
    {"el", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Greek")},
    {"iw", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Hebrew")},
    {"hi", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Hindi")},
    {"hu", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Hungarian")},
    {"is", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Icelandic")},
    {"id", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Indonesian")},
    {"ga", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Irish")},
    {"it", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Italian")},
    {"ja", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Japanese")},
    {"ko", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Korean")},
    {"lv", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Latvian")},
    {"lt", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Lithuanian")},
    {"mk", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Macedonian")},
    {"ms", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Malay")},
    {"mt", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Maltese")},
    {"no", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Norwegian")},
    {"fa", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Persian")},
    {"pl", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Polish")},
    {"pt-PT", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Portuguese (Portugal)")},
    {"ro", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Romanian")},
    {"ru", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Russian")},
    {"sr", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Serbian")},
    {"sk", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Slovak")},
    {"sl", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Slovenian")},
    {"es", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Spanish")},
    {"sw", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Swahili")},
    {"sv", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Swedish")},
    {"tl", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Filipino")},
    {"th", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Thai")},
    {"tr", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Turkish")},
    {"uk", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Ukrainian")},
    {"vi", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Vietnamese")},
    {"cy", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Welsh")},
    {"yi", QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Yiddish")},
};

// The menu shows each interface language in its own name, so that a user can find theirs in any language.
QString NativeName(const QString& code)
{
    if (code == QLatin1String("en"))
        return QStringLiteral("English");
    if (code == QLatin1String("de"))
        return QStringLiteral("Deutsch");
    if (code == QLatin1String("ru"))
        return QStringLiteral("Русский");
    const QString name = QLocale(code).nativeLanguageName();
    return name.isEmpty() ? code : name.left(1).toUpper() + name.mid(1);
}

void EnsureResources()
{
    static const bool initialised = (InitStringResources(), true);
    Q_UNUSED(initialised);
}

QString TranslationFile(const QString& code)
{
    return QLatin1String(ResourceFolder) + QLatin1Char('/') + QLatin1String(FilePrefix) + code + QLatin1String(".qm");
}

// Every translation loaded side by side, for GetAllTranslations; loaded once, on first use.
const std::vector<std::unique_ptr<QTranslator>>& AllTranslators()
{
    static const std::vector<std::unique_ptr<QTranslator>> translators = [] {
        std::vector<std::unique_ptr<QTranslator>> loaded;
        for (const QString& code : CCoreInterfaceLanguage::GetAvailableTranslations()) {
            if (code == QLatin1String(CCoreInterfaceLanguage::DefaultLanguage))
                continue;
            auto translator = std::make_unique<QTranslator>();
            if (translator->load(TranslationFile(code)))
                loaded.push_back(std::move(translator));
            else
                WriteLog("CCoreInterfaceLanguage::GetAllTranslations: cannot load [%ls]", qUtf16Printable(code));
        }
        return loaded;
    }();
    return translators;
}

CCoreInterfaceLanguage* s_instance = nullptr;

} // namespace

const char* const CCoreInterfaceLanguage::DefaultLanguage = "en";

CCoreInterfaceLanguage* GetCoreInterfaceLanguage()
{
    return s_instance;
}

CCoreInterfaceLanguage::CCoreInterfaceLanguage(QObject* parent) : QObject(parent)
{
    const QStringList available = GetAvailableTranslations();
    QString code = QSettings().value(QLatin1String(TranslationKey)).toString();
    if (!available.contains(code)) {
        if (!code.isEmpty())
            WriteLog("CCoreInterfaceLanguage::CCoreInterfaceLanguage: no translation [%ls]", qUtf16Printable(code));
        code = QLocale::system().name().section(QLatin1Char('_'), 0, 0);
        if (!available.contains(code))
            code = QLatin1String(DefaultLanguage);
    }
    if (FAILED(InstallTranslation(code)))
        InstallTranslation(QLatin1String(DefaultLanguage));
    s_instance = this;
}

CCoreInterfaceLanguage::~CCoreInterfaceLanguage()
{
    if (s_instance == this)
        s_instance = nullptr;
    delete m_menu;
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator);
}

CTranslatedStringDesc CCoreInterfaceLanguage::GetLanguageName(const QString& code)
{
    if (code.isEmpty())
        return CTranslatedStringDesc();
    for (const CLanguageName& entry : LanguageNames) {
        if (code.compare(QLatin1String(entry.code), Qt::CaseInsensitive) == 0)
            return CTranslatedStringDesc(entry.name, Context);
    }
    return CTranslatedStringDesc();
}

QStringList CCoreInterfaceLanguage::GetAllTranslations(const CTranslatedStringDesc& text)
{
    if (text.IsEmpty())
        return QStringList();
    if (text.IsPlainText())
        return QStringList(text.m_plainText);
    EnsureResources();
    const char* context = text.m_context ? text.m_context : "";
    auto withCount = [&text](QString value) {
        if (text.m_pluralCount >= 0)
            value.replace(QLatin1String("%n"), QString::number(text.m_pluralCount));
        return value;
    };
    QStringList result(withCount(QString::fromUtf8(text.m_sourceText)));
    for (const auto& translator : AllTranslators()) {
        const QString translation =
            withCount(translator->translate(context, text.m_sourceText, text.m_comment, text.m_pluralCount));
        if (!translation.isEmpty() && !result.contains(translation))
            result.append(translation);
    }
    return result;
}

QStringList CCoreInterfaceLanguage::GetAvailableTranslations()
{
    EnsureResources();
    QStringList codes;
    const QStringList files = QDir(QLatin1String(ResourceFolder))
                                  .entryList(QStringList(QLatin1String(FilePrefix) + QLatin1String("*.qm")),
                                             QDir::Files, QDir::Name);
    for (const QString& file : files) {
        const QString code = file.mid(int(qstrlen(FilePrefix))).chopped(3);
        if (!code.isEmpty() && code != QLatin1String(DefaultLanguage))
            codes.append(code);
    }
    codes.prepend(QLatin1String(DefaultLanguage));
    return codes;
}

QMenu* CCoreInterfaceLanguage::GetLanguageMenu()
{
    if (!CoreFeatures::IsFeatureEnabled(CoreFeatures::FeatureInterfaceLanguageMenu))
        return nullptr;
    if (m_menu)
        return m_menu;
    m_menu = new QMenu;
    m_menu->setObjectName(QStringLiteral("interfaceLanguageMenu"));
    RegisterTranslatedProperty(
        m_menu, "title",
        CTranslatedStringDesc(QT_TRANSLATE_NOOP("CCoreInterfaceLanguage", "Interface Language"), Context));
    auto* group = new QActionGroup(m_menu);
    group->setExclusive(true);
    for (const QString& code : GetAvailableTranslations()) {
        QAction* action = m_menu->addAction(NativeName(code));
        action->setCheckable(true);
        action->setData(code);
        group->addAction(action);
    }
    connect(group, &QActionGroup::triggered, this, &CCoreInterfaceLanguage::OnLanguageActionTriggered);
    UpdateMenuChecks();
    return m_menu;
}

int CCoreInterfaceLanguage::SetCurrentTranslation(const QString& code)
{
    if (!GetAvailableTranslations().contains(code)) {
        WriteLog("CCoreInterfaceLanguage::SetCurrentTranslation: no translation [%ls]", qUtf16Printable(code));
        return E_INVALIDARG;
    }
    QSettings().setValue(QLatin1String(TranslationKey), code);
    if (code == m_current)
        return S_FALSE;
    const HRESULT hr = InstallTranslation(code);
    if (FAILED(hr))
        return hr;
    WriteLog("CCoreInterfaceLanguage::SetCurrentTranslation: [%ls]", qUtf16Printable(code));
    UpdateMenuChecks();
    ReapplyProperties();
    emit WhenLocaleChanged();
    return S_OK;
}

void CCoreInterfaceLanguage::RegisterTranslatedProperty(QObject* object, const char* property,
                                                        const CTranslatedStringDesc& text)
{
    if (!object || !property)
        return;
    object->setProperty(property, text.Translate());
    auto it = m_properties.find(object);
    if (it == m_properties.end()) {
        connect(object, &QObject::destroyed, this, &CCoreInterfaceLanguage::OnTranslatedObjectDestroyed);
        it = m_properties.insert(object, {});
    }
    const QByteArray name(property);
    for (auto& entry : *it) {
        if (entry.first == name) {
            entry.second = text;
            return;
        }
    }
    it->append(qMakePair(name, text));
}

void CCoreInterfaceLanguage::OnLanguageActionTriggered(QAction* action)
{
    if (action)
        SetCurrentTranslation(action->data().toString());
}

void CCoreInterfaceLanguage::OnTranslatedObjectDestroyed(QObject* object)
{
    m_properties.remove(object);
}

int CCoreInterfaceLanguage::InstallTranslation(const QString& code)
{
    QTranslator* translator = nullptr;
    if (code != QLatin1String(DefaultLanguage)) {
        translator = new QTranslator(this);
        if (!translator->load(TranslationFile(code))) {
            WriteLog("CCoreInterfaceLanguage::InstallTranslation: cannot load [%ls]", qUtf16Printable(code));
            delete translator;
            return E_FAIL;
        }
    }
    if (m_translator) {
        QCoreApplication::removeTranslator(m_translator);
        delete m_translator;
    }
    m_translator = translator;
    if (m_translator)
        QCoreApplication::installTranslator(m_translator);
    m_current = code;
    return S_OK;
}

void CCoreInterfaceLanguage::ReapplyProperties()
{
    // A copy: setting a property may make or destroy objects that register.
    const auto properties = m_properties;
    for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
        if (!m_properties.contains(it.key()))
            continue;
        for (const auto& entry : it.value())
            it.key()->setProperty(entry.first.constData(), entry.second.Translate());
    }
}

void CCoreInterfaceLanguage::UpdateMenuChecks()
{
    if (!m_menu)
        return;
    for (QAction* action : m_menu->actions())
        action->setChecked(action->data().toString() == m_current);
}
