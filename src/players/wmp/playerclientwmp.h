#pragma once
// The Windows Media Player client: follows whether the player application runs, drives its transport,
// reports its play state and library changes, and hands its library out as the objects of this folder.
#include <QString>

#include "players/playerclientbase.h"

class CPlayerClientWMPHelper;

class CPlayerClientWMP : public CPlayerClientBase
{
    Q_OBJECT
public:
    // Kinds of WhenLibraryChanged.
    enum : int
    {
        LibraryArtists = 0,     // "Author" values changed
        LibraryAlbums = 1,      // "WM/AlbumTitle" values changed
        LibraryTitles = 2,      // "Title" values changed
        LibraryPlaylists = 3,   // the playlist collection changed
        LibraryPlaylist = 4,    // one playlist changed; data is its IWMPPlaylist (during the call only) or null
        LibraryMedia = 5,       // a media item was added, removed or changed
        LibraryCollection = 6,  // the whole media collection changed
    };

    explicit CPlayerClientWMP(CPlayerClientDispatcher* parent);
    ~CPlayerClientWMP() override;

    // The control host; no reference is handed out. Null only while the client is destroyed.
    CPlayerClientWMPHelper* GetHelper() const;

    // Reads whether the player application is up and attached; a change is reported (going away:
    // the running state, then WhenShutdown; coming back: the running state, then WhenWakeUp).
    void CheckRunning();
    // Called by the control host's event handlers.
    void NotifyPlayingChanged();
    void NotifyLibraryChanged(int kind, void* data);

    int GetButtonState(int button) override;
    int GetPlayPositionMSecs() override;
    void SetPlayPositionSecs(int seconds) override;
    bool GetMediaInfo(QString& artist, QString& title, QString& album, int& duration, QString& location) override;
    void ClickButton(int button) override;
    void CheckButton(int button, bool state) override;
    // 0..100.
    double GetVolume() override;
    // Rounds the volume to a whole number within 0..100.
    void SetVolume(double& volume) override;
    // Launches the player application; it reports running once it is up.
    void Start(bool mode) override;
    void BringToForeground() override;

signals:
    void WhenLibraryChanged(int kind, void* data);

protected:
    HRESULT DoGetCurrentSong(IPlayerClientSong** song) override;
    HRESULT DoGetCurrentPlaylist(IPlayerClientPlaylist** playlist) override;
    HRESULT DoGetLibraryPlaylist(IPlayerClientPlaylist** playlist) override;
    HRESULT DoGetArtistSongs(const QString& artist, IPlayerClientPlaylist** songs) override;
    HRESULT DoGetAlbumSongs(const QString& album, IPlayerClientPlaylist** songs) override;
    HRESULT DoGetArtistAlbumSongs(const QString& artist, const QString& album, IPlayerClientPlaylist** songs) override;
    HRESULT DoGetSongsByArtistAlbumTitle(const QString& artist, const QString& album, const QString& title,
                                         IPlayerClientCollectionSong** songs) override;
    HRESULT DoGetPlaylists(IPlayerClientCollectionPlaylist** playlists) override;
    HRESULT DoGetArtists(IPlayerClientCollectionString** artists) override;
    HRESULT DoGetAlbums(IPlayerClientCollectionString** albums) override;
    HRESULT DoGetArtistAlbums(const QString& artist, IPlayerClientCollectionString** albums) override;
    HRESULT DoGetPlaylistSync(IPlayerClientPlaylistSync** playlistSync) override;
    HRESULT DoGetArtistInfo(const QString& artist, int mask, CArtistInfo* info) override;
    HRESULT DoGetAlbumInfo(const QString& album, int mask, CAlbumInfo* info) override;
    HRESULT DoGetArtistAlbumInfo(const QString& artist, const QString& album, int mask, CAlbumInfo* info) override;

private:
    bool IsUsable() const;
    bool QueryRunning();
    HRESULT SetLoop(bool on, const char* method);
    void ToggleSetting(int button);

    CPlayerClientWMPHelper* m_helper = nullptr;  // one reference
    double m_volume = 0.0;
    bool m_destroying = false;
};
