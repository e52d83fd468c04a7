#pragma once
// The one place where lyrics are fetched, cached and sent back, and where the lyric (translation)
// languages and the user's choice among them are kept.
#include <QHash>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include "core/songtypes.h"
#include "core/translatedstring.h"
#include "lyrics/lyricscache.h"
#include "webservice/drelk/languagesrequest.h"
#include "webservice/protocol/lyricrequests.h"

class LyricsManager : public QObject
{
    Q_OBJECT
public:
    // (code, display name), the song's own lyrics ("Native", empty code) first.
    using CLanguageList = QVector<QPair<QString, QString>>;

    // Loads the cache and the language settings and follows the application mode.
    explicit LyricsManager(QObject* parent = nullptr);
    // Saves the cache; requests still running are dropped.
    ~LyricsManager() override;

    // Fills lyrics from the cache (true when found) and, for a song with title and artist, makes it the
    // current lyrics and asks the service whether they are current. Status 0x8040002D for an empty song,
    // 0x8040002E without title or artist; neither reaches the service.
    bool GetLyrics(SongLyrics& lyrics);
    // Starts the first step of the fetch for lyrics (replacing a query still running).
    void QueryLyrics(SongLyrics& lyrics);
    // Stores lyrics the user timed, saves the cache and uploads them (unless "debug/sync_cache_only").
    void UpdateLyrics(const SongLyrics& lyrics);

    // The lyrics of the last query, filled with the answer; what WhenLyricsDownloaded refers to.
    const SongLyrics& GetCurrentLyrics() const { return m_current; }
    LyricsCache& GetCache() { return m_cache; }

    void SetActiveLanguage(const QString& code);
    QString GetActiveLanguage() const { return m_activeLanguage; }
    CTranslatedStringDesc GetActiveLanguageName() const;
    CTranslatedStringDesc GetLanguageName(const QString& code) const;
    CLanguageList GetLanguageList();

    void initializeLyricLanguages();

signals:
    void languagesAvailable();
    void languageChanged(QString code);
    void WhenLyricsDownloaded();

public slots:
    void langsFetched();
    void onLocaleChanged();
    void OnLyricDescArrived(int result, int kind, const SonveroProtocol::CLyricDesc& desc);
    void OnAppModeChanged();
    void OnSetLyricsCompleted(int result, const SonveroProtocol::CSetLyricsResult& answer);

private:
    void ApplyLanguageCodes(const QStringList& codes);
    // Forgets the running lyric request: it is deleted unanswered.
    void DropLyricRequest();
    HRESULT StartLyricRequest(int version);
    void FinishQuery();
    static QString LanguageFilePath();

    LyricsCache m_cache;
    QPointer<SonveroProtocol::CGetLyricHttpRequestV2> m_lyricRequest;
    QPointer<SonveroProtocol::CV2SetLyricsRequest> m_uploadRequest;
    bool m_languagesRequested = false;
    Drelk::CGetLanguagesHttpRequest m_languagesRequest;
    SongLyrics m_current;
    QString m_activeLanguage;
    QSet<QString> m_excluded;
    QHash<QString, CTranslatedStringDesc> m_languages;
    CLanguageList m_languageList;
};
