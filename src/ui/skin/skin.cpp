#include "ui/skin/skin.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QSettings>
#include <QTextStream>
#include <QWidget>

#include "core/corefiles.h"
#include "core/log.h"
#include "ui/skin/styleelided.h"

// Must live at global scope: the compiled-in skins are a resource of a static library.
static void InitSkinResources()
{
    Q_INIT_RESOURCE(skins);
}

namespace {

const char kBuiltInRoot[] = ":/img/skins";
const char kDefaultSkinId[] = "default";
const char kSettingsKey[] = "skin8/name";
const char kSkinIdProperty[] = "skinsengine_skinid";
const char kRootPlaceholder[] = "${SKIN_ROOT}";

Skin* s_instance = nullptr;

struct CHtmlFile
{
    int id;
    const char* file;
};

const CHtmlFile kHtmlFiles[] = {
    {2, "NoLyrics.htm"},
    {3, "NoMetadata.htm"},
    {4, "LyricsCopyright.htm"},
    {5, "LyricsCountryRestriction.htm"},
    {6, "SearchingLyrics.htm"},
    {7, "LyricsNetworkError.htm"},
    {8, "NoInternetConnection.htm"},
    {9, "ConectionError.htm"},
    {10, "playerStarting.htm"},
    {12, "NoActivePlayer.htm"},
    {13, "ThanksForSyncing.htm"},
    {14, "startLyricsSync.htm"},
    {16, "readyGo.htm"},
    {18, "WarnSignIn.htm"},
    {19, "WarnSignUp.htm"},
    {22, "WelcomeLogin.htm"},
};

// conf.ini: "[section]" lines, "key=value" lines, ';' or '#' comments.
QHash<QString, QHash<QString, QString>> ParseIni(const QString& path)
{
    QHash<QString, QHash<QString, QString>> result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return result;
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    QString section;
    while (!stream.atEnd()) {
        const QString line = stream.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.length() - 2).trimmed().toLower();
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        result[section].insert(line.left(eq).trimmed().toLower(), line.mid(eq + 1).trimmed());
    }
    return result;
}

bool HasInvokable(QObject* object, const char* signature)
{
    return object->metaObject()->indexOfMethod(signature) >= 0;
}

} // namespace

QStringList Skin::DefaultSkinFolders()
{
    QStringList folders;
    folders << GetDataDirectory() + QStringLiteral("/skins");
    if (QCoreApplication::instance())
        folders << QCoreApplication::applicationDirPath() + QStringLiteral("/skins");
    return folders;
}

Skin::Skin(QObject* parent, const QStringList& folders)
    : QObject(parent), m_folders(folders)
{
    InitSkinResources();
    if (!s_instance)
        s_instance = this;
    FindSkins();

    const QString wanted = QSettings().value(QLatin1String(kSettingsKey)).toString();
    m_current = wanted.isEmpty() ? -1 : FindSkin(wanted);
    if (m_current < 0) {
        if (!wanted.isEmpty())
            WriteLog("Skin::Skin: skin[%ls] not found", qUtf16Printable(wanted));
        m_current = DefaultSkinIndex();
    }
    if (m_current < 0)
        WriteLog("Skin::Skin: no skin found");
    LoadCurrent();
}

Skin::~Skin()
{
    if (s_instance == this)
        s_instance = nullptr;
}

Skin* Skin::instance()
{
    if (!s_instance)
        new Skin(QCoreApplication::instance());
    return s_instance;
}

void Skin::FindSkins()
{
    m_skins.clear();
    QSet<QString> ids;
    auto addFrom = [&](const QString& base, bool builtIn) {
        QDir dir(base);
        const QStringList entries = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& entry : entries) {
            const QString root = dir.filePath(entry);
            if (!QFile::exists(root + QStringLiteral("/conf.ini")))
                continue;
            if (ids.contains(entry)) {
                WriteLog("Skin::FindSkins: skin[%ls] already known, [%ls] skipped", qUtf16Printable(entry),
                         qUtf16Printable(root));
                continue;
            }
            const auto ini = ParseIni(root + QStringLiteral("/conf.ini"));
            CSkinDesc desc;
            desc.id = entry;
            desc.name = ini.value(QStringLiteral("skin")).value(QStringLiteral("name"), entry);
            desc.root = builtIn ? root : QDir(root).absolutePath();
            desc.builtIn = builtIn;
            ids.insert(entry);
            m_skins.append(desc);
        }
    };
    addFrom(QLatin1String(kBuiltInRoot), true);
    for (const QString& folder : qAsConst(m_folders))
        addFrom(folder, false);
}

int Skin::FindSkin(const QString& id) const
{
    for (int i = 0; i < m_skins.size(); ++i) {
        if (m_skins.at(i).id == id)
            return i;
    }
    return -1;
}

int Skin::DefaultSkinIndex() const
{
    // Without the default skin any skin will do.
    const int index = FindSkin(QLatin1String(kDefaultSkinId));
    return (index < 0 && !m_skins.isEmpty()) ? 0 : index;
}

void Skin::ReloadSkinList()
{
    const QString current = GetCurrentSkinId();
    FindSkins();
    const int index = FindSkin(current);
    if (index >= 0) {
        m_current = index;
        return;
    }
    // The current skin went away: fall back to the default one and re-skin.
    m_current = DefaultSkinIndex();
    LoadCurrent();
    Reskin();
}

QString Skin::GetCurrentSkinId() const
{
    return m_current >= 0 ? m_skins.at(m_current).id : QString();
}

QString Skin::GetCurrentSkinName() const
{
    return m_current >= 0 ? m_skins.at(m_current).name : QString();
}

QString Skin::GetCurrentSkinRoot() const
{
    return m_current >= 0 ? m_skins.at(m_current).root : QString();
}

void Skin::LoadCurrent()
{
    m_loaded = CLoaded();
    if (m_current >= 0)
        m_loaded.ini = ParseIni(GetCurrentSkinRoot() + QStringLiteral("/conf.ini"));
}

QString Skin::IniValue(const QString& section, const QString& key) const
{
    return m_loaded.ini.value(section).value(key);
}

QString Skin::ReadSkinFile(const QString& relativePath) const
{
    if (m_current < 0 || relativePath.isEmpty())
        return QString();
    QFile file(GetCurrentSkinRoot() + QLatin1Char('/') + relativePath);
    if (!file.open(QIODevice::ReadOnly)) {
        WriteLog("Skin::ReadSkinFile: can not read [%ls] of skin[%ls]", qUtf16Printable(relativePath),
                 qUtf16Printable(GetCurrentSkinId()));
        return QString();
    }
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QLatin1String(kRootPlaceholder), GetCurrentSkinRoot());
    return text;
}

HRESULT Skin::ChooseSkin(const QString& id, bool save, bool force)
{
    const int index = FindSkin(id);
    if (index < 0) {
        WriteLog("Skin::ChooseSkin: unknown skin[%ls] %x", qUtf16Printable(id), E_INVALIDARG);
        return E_INVALIDARG;
    }
    WriteLog("Skin::ChooseSkin: [%ls] save=%d force=%d", qUtf16Printable(id), int(save), int(force));
    if (save)
        QSettings().setValue(QLatin1String(kSettingsKey), id);
    if (index == m_current && !force)
        return S_FALSE;
    m_current = index;
    LoadCurrent();
    Reskin();
    return S_OK;
}

void Skin::Reskin()
{
    const QString id = GetCurrentSkinId();
    // Copy first: a widget's reload may apply style sheets to new widgets.
    const QHash<QObject*, int> recorded = m_cssWidgets;
    QList<QPointer<QWidget>> widgets;
    for (auto it = recorded.cbegin(); it != recorded.cend(); ++it) {
        auto* widget = static_cast<QWidget*>(it.key());
        widget->setProperty(kSkinIdProperty, id);
        widget->setStyleSheet(GetCss(it.value()));
        widgets.append(widget);
    }
    const QList<QWidget*> topLevel = QApplication::topLevelWidgets();
    for (QWidget* widget : topLevel) {
        if (!recorded.contains(widget))
            widgets.append(widget);
    }
    for (const QPointer<QWidget>& widget : qAsConst(widgets)) {
        if (widget && HasInvokable(widget, "reloadSkin()"))
            QMetaObject::invokeMethod(widget, "reloadSkin", Qt::DirectConnection);
    }
}

void Skin::ApplyCss(QWidget* widget, int kind)
{
    if (!widget) {
        WriteLog("Skin::ApplyCss: no widget");
        return;
    }
    if (kind < 0 || kind >= CssKindCount)
        WriteLog("Skin::ApplyCss: unknown kind %d", kind);
    if (!m_cssWidgets.contains(widget))
        connect(widget, &QObject::destroyed, this, &Skin::OnCssWidgetDestroyed);
    m_cssWidgets.insert(widget, kind);
    widget->setProperty(kSkinIdProperty, GetCurrentSkinId());
    widget->setStyleSheet(GetCss(kind));
}

void Skin::OnCssWidgetDestroyed(QObject* object)
{
    m_cssWidgets.remove(object);
}

QString Skin::GetCss(int kind) const
{
    if (kind < 0 || kind >= CssKindCount)
        return QString();
    auto it = m_loaded.css.constFind(kind);
    if (it != m_loaded.css.constEnd())
        return it.value();
    const QString css = ReadSkinFile(IniValue(QStringLiteral("css"), QString::number(kind)));
    m_loaded.css.insert(kind, css);
    return css;
}

QString Skin::HtmlFileName(int id)
{
    for (const CHtmlFile& entry : kHtmlFiles) {
        if (entry.id == id)
            return QLatin1String(entry.file);
    }
    return QString();
}

QString Skin::getHtml(int id) const
{
    const QString file = HtmlFileName(id);
    if (file.isEmpty())
        return QString();
    auto it = m_loaded.html.constFind(id);
    if (it != m_loaded.html.constEnd())
        return it.value();
    const QString text = ReadSkinFile(QStringLiteral("html/") + file);
    m_loaded.html.insert(id, text);
    return text;
}

QPixmap Skin::getImage(int id) const
{
    auto it = m_loaded.images.constFind(id);
    if (it != m_loaded.images.constEnd())
        return it.value();
    QPixmap pixmap;
    const QString file = IniValue(QStringLiteral("images"), QString::number(id));
    if (!file.isEmpty() && m_current >= 0 && !pixmap.load(GetCurrentSkinRoot() + QLatin1Char('/') + file))
        WriteLog("Skin::getImage: can not load image %d [%ls]", id, qUtf16Printable(file));
    m_loaded.images.insert(id, pixmap);
    return pixmap;
}

QMargins Skin::GetContentsMargins() const
{
    const QStringList parts = IniValue(QStringLiteral("window"), QStringLiteral("margins")).split(QLatin1Char(','));
    if (parts.size() != 4)
        return QMargins();
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok || values[i] < 0)
            return QMargins();
    }
    return QMargins(values[0], values[1], values[2], values[3]);
}

CStyleElided* Skin::GetElidedStyle()
{
    if (!m_elidedStyle) {
        m_elidedStyle = new CStyleElided();
        // Widgets keep using the style after a re-skin, so it lives as long as the application.
        m_elidedStyle->setParent(QCoreApplication::instance());
    }
    return m_elidedStyle;
}

QString Skin::WrapHtmlLinesWithCss(const QStringList& lines) const
{
    QString separator = IniValue(QStringLiteral("html"), QStringLiteral("separator"));
    if (separator.isEmpty())
        separator = QStringLiteral("<br>");
    const QString style = ReadSkinFile(IniValue(QStringLiteral("html"), QStringLiteral("style")));
    return QStringLiteral("<html><head><style type=\"text/css\">") + style + QStringLiteral("</style></head><body>") +
           lines.join(separator) + QStringLiteral("</body></html>");
}
