#include "lyrics/lyricsmanager.h"

#include <QRegularExpression>
#include <QSettings>

#include <algorithm>

#include "core/appmodemanager.h"
#include "core/coreapplicationobject.h"
#include "core/corefeatures.h"
#include "core/corefiles.h"
#include "core/coreinterfacelanguage.h"
#include "core/log.h"
#include "core/resultcodes.h"

namespace {

const char SettingLanguage[] = "lyrics/language";
const char SettingSyncCacheOnly[] = "debug/sync_cache_only";
const char KeyLangs[] = "langs";
const char KeyEnable[] = "enable";

CTranslatedStringDesc NativeName()
{
    return CTranslatedStringDesc(QT_TRANSLATE_NOOP("LyricsManager", "Native"), "LyricsManager");
}

// "langs" may also have been written by hand as a plain list, which the settings read as several values.
QStringList SplitLanguageCodes(const QVariant& value)
{
    const QString text = value.type() == QVariant::StringList ? value.toStringList().join(QLatin1Char(','))
                                                              : value.toString();
    static const QRegularExpression separator(QStringLiteral("\\s*,\\s*"));
    QStringList codes;
    for (const QString& piece : text.split(separator, Qt::SkipEmptyParts)) {
        const QString code = piece.trimmed();
        if (!code.isEmpty())
            codes << code;
    }
    return codes;
}

// The languages used when neither the language file nor the service gives any.
QStringList FallbackLanguages()
{
    static const char* const codes[] = {
        "af", "sq", "ar", "be", "bg", "ca", "zh", "zh-CN", "zh-TW", "hr", "cs", "da", "nl", "en",
        "et", "fi", "fr", "gl", "de", "el", "iw", "hi", "hu", "is", "id", "ga", "it", "ja",
        "ko", "lv", "lt", "mk", "ms", "mt", "no", "fa", "pl", "pt-PT", "ro", "ru", "sr", "sk",
        "sl", "es", "sw", "sv", "tl", "th", "tr", "uk", "vi", "cy", "yi"};
    QStringList list;
    for (const char* code : codes)
        list << QString::fromLatin1(code);
    return list;
}

} // namespace

LyricsManager::LyricsManager(QObject* parent)
    : QObject(parent)
{
    initializeLyricLanguages();
    CCoreApplicationObject* app = GetCoreApplicationObject();
    if (CAppModeManagerBase* modes = app ? app->GetAppModeManager() : nullptr)
        connect(modes, &CAppModeManagerBase::WhenModeChanged, this, &LyricsManager::OnAppModeChanged);
}

// Requests still running are children of this object and go with it, unanswered.
LyricsManager::~LyricsManager() = default;

QString LyricsManager::LanguageFilePath()
{
    return GetDataDirectory() + QStringLiteral("/lyrics.ini");
}

// ---- languages

void LyricsManager::initializeLyricLanguages()
{
    m_activeLanguage = QSettings().value(QLatin1String(SettingLanguage)).toString();
    WriteLog("LyricsManager::initializeLyricLanguages: current: [%ls]", qUtf16Printable(m_activeLanguage));

    QSettings file(LanguageFilePath(), QSettings::IniFormat);
    m_excluded.clear();
    for (const QString& code : file.childGroups()) {
        if (!file.value(code + QLatin1Char('/') + QLatin1String(KeyEnable), true).toBool())
            m_excluded.insert(code);
    }
    QStringList excluded = m_excluded.values();
    excluded.sort();
    WriteLog("LyricsManager::initializeLyricLanguages: excluded: [%ls]",
             qUtf16Printable(excluded.join(QStringLiteral("], ["))));

    QStringList codes = SplitLanguageCodes(file.value(QLatin1String(KeyLangs)));
    if (codes.isEmpty()) {
        WriteLog("LyricsManager::initializeLyricLanguages: no languages - will use hard-coded");
        codes = FallbackLanguages();
    }
    ApplyLanguageCodes(codes);

    CCoreInterfaceLanguage* language = GetCoreInterfaceLanguage();
    if (!language
        || !connect(language, &CCoreInterfaceLanguage::WhenLocaleChanged, this, &LyricsManager::onLocaleChanged,
                    Qt::UniqueConnection)) {
        WriteLog("LyricsManager::initializeLyricLanguages: connect to locale changes failed");
    }

    if (CoreFeatures::IsFeatureEnabled(CoreFeatures::FeatureLyricLanguageList)) {
        connect(&m_languagesRequest, &Drelk::CHttpTransaction::WhenStateChanged, this, &LyricsManager::langsFetched,
                Qt::UniqueConnection);
    }
}

void LyricsManager::ApplyLanguageCodes(const QStringList& codes)
{
    m_languages.clear();
    m_languageList.clear();
    for (const QString& code : codes) {
        if (!m_excluded.contains(code))
            m_languages.insert(code, CCoreInterfaceLanguage::GetLanguageName(code));
    }
    emit languagesAvailable();
}

void LyricsManager::OnAppModeChanged()
{
    CCoreApplicationObject* app = GetCoreApplicationObject();
    CAppModeManagerBase* modes = app ? app->GetAppModeManager() : nullptr;
    if (!modes || modes->m_mode != CAppModeManagerBase::ModeNormal || m_languagesRequested
        || !CoreFeatures::IsFeatureEnabled(CoreFeatures::FeatureLyricLanguageList)) {
        return;
    }
    WriteLog("LyricsManager::OnAppModeChanged: update lyric languages at startup");
    m_languagesRequested = true;
    const HRESULT hr = m_languagesRequest.Start();
    if (FAILED(hr))
        WriteLog("LyricsManager::OnAppModeChanged: Start failed %x", hr);
}

void LyricsManager::langsFetched()
{
    if (m_languagesRequest.GetState() != Drelk::CHttpTransaction::StateCompleted)
        return;
    WriteLog("LyricsManager::langsFetched: completed");
    const HRESULT hr = m_languagesRequest.GetResult();
    if (FAILED(hr)) {
        WriteLog("LyricsManager::langsFetched: err=%x", hr);
        return;
    }
    const QStringList codes = m_languagesRequest.GetLanguages();
    if (codes.isEmpty()) {
        WriteLog("LyricsManager::langsFetched: no languages");
        return;
    }
    QSettings file(LanguageFilePath(), QSettings::IniFormat);
    file.setValue(QLatin1String(KeyLangs), codes.join(QLatin1Char(',')));
    file.sync();
    if (file.status() != QSettings::NoError)
        WriteLog("LyricsManager::langsFetched: writing [%ls] failed %x", qUtf16Printable(file.fileName()), E_FAIL);
    ApplyLanguageCodes(codes);
}

void LyricsManager::onLocaleChanged()
{
    m_languageList.clear();
}

CTranslatedStringDesc LyricsManager::GetLanguageName(const QString& code) const
{
    if (code.isEmpty())
        return NativeName();
    return m_languages.value(code);
}

CTranslatedStringDesc LyricsManager::GetActiveLanguageName() const
{
    return GetLanguageName(m_activeLanguage);
}

LyricsManager::CLanguageList LyricsManager::GetLanguageList()
{
    if (!m_languageList.isEmpty())
        return m_languageList;
    CLanguageList list;
    list.reserve(m_languages.size() + 1);
    for (auto it = m_languages.cbegin(); it != m_languages.cend(); ++it) {
        QString name = it.value().Translate();
        if (name.isEmpty()) {
            WriteLog("LyricsManager::GetLanguageList: unnamed language[%ls]", qUtf16Printable(it.key()));
            name = it.key();
        }
        list.append(qMakePair(it.key(), name));
    }
    // The hash has no order; the code settles equal names so the list is the same every time.
    std::sort(list.begin(), list.end(), [](const QPair<QString, QString>& a, const QPair<QString, QString>& b) {
        const int byName = a.second.compare(b.second, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.first < b.first;
    });
    list.prepend(qMakePair(QString(), NativeName().Translate()));
    m_languageList = list;
    return m_languageList;
}

void LyricsManager::SetActiveLanguage(const QString& code)
{
    if (code == m_activeLanguage)
        return;
    WriteLog("LyricsManager::SetActiveLanguage: [%ls]", qUtf16Printable(code));
    m_activeLanguage = code;
    QSettings().setValue(QLatin1String(SettingLanguage), code);
    emit languageChanged(code);
}

// ---- lyrics

bool LyricsManager::GetLyrics(SongLyrics& lyrics)
{
    if (lyrics.IsEmpty()) {
        lyrics.AssignLyricsWithStatus(SongLyrics(), SV_E_EMPTY_SONG);
        return false;
    }
    WriteLog("LyricsManager::GetLyrics: %ls l[%ls]", qUtf16Printable(lyrics.ToString()),
             qUtf16Printable(lyrics.language));
    if (lyrics.title.isEmpty() || lyrics.artist.isEmpty()) {
        lyrics.AssignLyricsWithStatus(SongLyrics(), SV_E_TITLE_OR_ARTIST_MISSING);
        return false;
    }
    const bool cached = m_cache.Get(lyrics);
    QueryLyrics(lyrics);
    return cached;
}

void LyricsManager::QueryLyrics(SongLyrics& lyrics)
{
    DropLyricRequest();  // its answer is for a song nobody waits for any more
    m_current = lyrics;
    const HRESULT hr = StartLyricRequest(lyrics.lines.isEmpty() ? -1 : lyrics.version);
    if (FAILED(hr))
        WriteLog("LyricsManager::QueryLyrics: StartRequest failed %x", hr);
    m_current.status = SUCCEEDED(hr) ? int(SongLyrics::StatusRunning) : hr;
    lyrics.status = m_current.status;
}

void LyricsManager::DropLyricRequest()
{
    if (!m_lyricRequest)
        return;
    m_lyricRequest->disconnect(this);
    m_lyricRequest->deleteLater();
    m_lyricRequest.clear();
}

HRESULT LyricsManager::StartLyricRequest(int version)
{
    SonveroProtocol::CLyricQuery query;
    query.artist = m_current.artist;
    query.title = m_current.title;
    query.album = m_current.album;
    query.language = m_current.language;
    query.version = version;
    const HRESULT hr = SonveroProtocol::CGetLyricHttpRequestV2::StartRequest(
        m_lyricRequest, this, SLOT(OnLyricDescArrived(int, int, SonveroProtocol::CLyricDesc)), query);
    if (SUCCEEDED(hr) && m_lyricRequest)
        m_lyricRequest->setParent(this);
    return hr;
}

void LyricsManager::OnLyricDescArrived(int result, int kind, const SonveroProtocol::CLyricDesc& answer)
{
    QObject* from = sender();
    if (from && from != m_lyricRequest.data())
        return;  // a replaced query that still got through
    DropLyricRequest();

    SonveroProtocol::CLyricDesc desc = answer;
    if (result == SV_E_NO_CONTENT) {
        // The service has no lyrics for this song: an answer like any other, with no lines.
        WriteLog("LyricsManager::OnLyricDescArrived: no lyrics on the service");
        desc = SonveroProtocol::CLyricDesc();
        desc.title = m_current.title, desc.artist = m_current.artist, desc.album = m_current.album;
        kind = 1;
        result = S_OK;
    }
    if (FAILED(result)) {
        WriteLog("LyricsManager::OnLyricDescArrived: err=%x", result);
        m_current.status = result;
        FinishQuery();
        return;
    }

    bool locked = false;
    bool syncable = true;
    if (desc.lockCode == 1) {
        locked = true;
    } else if (desc.lockCode == 2) {
        locked = true;
        syncable = false;
    }
    int blocked = 1;
    if (desc.blocked == 0)
        blocked = 0;
    else if (desc.blocked == -105)
        blocked = 2;
    // Group ids are kept as their low 32 bits; compare them that way too.
    const qint32 groupId = static_cast<qint32>(static_cast<quint32>(desc.groupId & 0xFFFFFFFF));

    if (kind == 0 && desc.lines.isEmpty()) {
        if (desc.version == m_current.version && desc.songId == m_current.id && groupId == m_current.groupId
            && blocked == m_current.blocked && locked == m_current.locked && syncable == m_current.syncable) {
            WriteLog("LyricsManager::OnLyricDescArrived: up-to-date");
            m_current.status = SongLyrics::StatusDone;
            FinishQuery();
            return;
        }
        const HRESULT hr = StartLyricRequest(-1);
        if (SUCCEEDED(hr))
            return;
        WriteLog("LyricsManager::OnLyricDescArrived: StartRequest failed %x", hr);
        m_current.status = hr;
        FinishQuery();
        return;
    }

    SongInfo answered;
    answered.title = desc.title;
    answered.artist = desc.artist;
    answered.album = desc.album;
    if (!SongInfo::IsSameSong(answered, m_current)) {
        WriteLog("LyricsManager::OnLyricDescArrived: Got response for song [%ls] while expecting [%ls]",
                 qUtf16Printable(answered.ToString()), qUtf16Printable(m_current.ToString()));
    }
    m_current.version = desc.version;
    m_current.id = desc.songId;
    m_current.groupId = groupId;
    m_current.blocked = blocked;
    m_current.locked = locked;
    m_current.syncable = syncable;
    m_current.lines = desc.lines;
    WriteLog("LyricsManager::OnLyricDescArrived: server lyrics version = %d, song id = %d grpId=%d blk=%d locked=%d "
             "syncable=%d",
             m_current.version, m_current.id, m_current.groupId, m_current.blocked, int(m_current.locked),
             int(m_current.syncable));
    m_current.status = SongLyrics::StatusDone;
    FinishQuery();
}

void LyricsManager::FinishQuery()
{
    m_cache.Insert(m_current);
    emit WhenLyricsDownloaded();
}

void LyricsManager::UpdateLyrics(const SongLyrics& lyrics)
{
    m_cache.Insert(lyrics);
    // Timed lyrics are the user's work: on disk now, not only at exit.
    m_cache.Save();
    if (QSettings().value(QLatin1String(SettingSyncCacheOnly), false).toBool()) {
        WriteLog("LyricsManager::UpdateLyrics: server will not be updated [update disabled]");
        return;
    }
    // An upload still running is left to finish: each request deletes itself once answered.
    const HRESULT hr = SonveroProtocol::CV2SetLyricsRequest::StartRequest(
        m_uploadRequest, this, SLOT(OnSetLyricsCompleted(int, SonveroProtocol::CSetLyricsResult)), lyrics);
    if (FAILED(hr)) {
        WriteLog("LyricsManager::UpdateLyrics: StartRequest(%ls) failed %x", qUtf16Printable(lyrics.ToString()), hr);
        return;
    }
    if (m_uploadRequest)
        m_uploadRequest->setParent(this);
}

void LyricsManager::OnSetLyricsCompleted(int result, const SonveroProtocol::CSetLyricsResult& answer)
{
    if (QObject* from = sender())
        from->disconnect(this);
    if (FAILED(result)) {
        WriteLog("LyricsManager::OnSetLyricsCompleted: err=%x", result);
        return;
    }
    WriteLog("LyricsManager::OnSetLyricsCompleted: v=%d sid=%d gid=%d", answer.version, answer.songId, answer.groupId);
}
