#pragma once
// The automation surface of the media player as the program uses it: COM-style interfaces (result
// codes, out-pointers, one reference per handed-out object). Strings travel as QString, booleans as
// bool, "long" values as qint32. The simulated player in this folder implements every interface.
#include <QString>
#include <QVariantList>

#include "platform/com/combase.h"

// ---- identifiers ----------------------------------------------------------------------------------

// The player control that the program hosts.
constexpr CLSID CLSID_WindowsMediaPlayer(0x6BF52A52u, 0x394A, 0x11D3, 0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6);

constexpr IID IID_IWMPPlayer4(0x6C497D62u, 0x8919, 0x413C, 0x82, 0xDB, 0xE9, 0x35, 0xFB, 0x3E, 0xC5, 0x84);
constexpr IID IID_IWMPEvents(0x19A6627Bu, 0xDA9E, 0x47C1, 0xBB, 0x23, 0x00, 0xB5, 0xE6, 0x68, 0x23, 0x6A);
constexpr IID DIID__WMPOCXEvents(0x6BF52A51u, 0x394A, 0x11D3, 0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6);
constexpr IID IID_IWMPPlaylist(0xD5F0F4F1u, 0x130C, 0x11D3, 0xB1, 0x4E, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6);

constexpr IID IID_IConnectionPoint(0x5C0D0B42u, 0x6A3B, 0x49FE, 0xAF, 0xAD, 0xD1, 0x24, 0x59, 0x3A, 0xDD, 0x75);
constexpr IID IID_IConnectionPointContainer(0x436FB736u, 0xAC61, 0x4059, 0x8C, 0x4D, 0xE3, 0xA8, 0x5C, 0xFB, 0xA0, 0x73);
constexpr IID IID_IServiceProvider(0x20532464u, 0x6CC0, 0x4BEC, 0x94, 0x50, 0x85, 0xB2, 0xBF, 0xC9, 0x84, 0x2A);
constexpr IID IID_IWMPRemoteMediaServices(0xC23A5BF0u, 0x951D, 0x402A, 0x94, 0xB7, 0xFC, 0x2E, 0x6A, 0x26, 0xCC, 0x00);
// The service the control asks its site for when it looks for a remote host.
constexpr QUuid SID_WMPRemoteMediaServices(0x3F0F8985u, 0x1004, 0x4BF3, 0x99, 0x00, 0x28, 0x16, 0x23, 0xB1, 0x45, 0x10);
constexpr IID IID_IWMPErrorItem(0x029B59E7u, 0x808F, 0x4C34, 0xA7, 0x24, 0x1D, 0xE9, 0x6E, 0xF8, 0x09, 0x16);
constexpr IID IID_IWMPError(0x68000091u, 0xE7C9, 0x451D, 0xA2, 0x54, 0xB5, 0x4F, 0xD2, 0x9D, 0x94, 0xCA);
constexpr IID IID_IWMPMedia(0x80B75827u, 0x1B86, 0x4F8D, 0xB8, 0xC0, 0xBC, 0x44, 0xAC, 0xC3, 0x9A, 0xD4);
constexpr IID IID_IWMPPlaylistArray(0x98572C4Au, 0x1F85, 0x4C82, 0x94, 0xC7, 0xA6, 0x63, 0x8A, 0x2E, 0x86, 0x66);
constexpr IID IID_IWMPPlaylistCollection(0x637E3957u, 0x3665, 0x46EE, 0x93, 0xD7, 0x7A, 0x3A, 0x99, 0x98, 0x97, 0x42);
constexpr IID IID_IWMPStringCollection(0xFDDC98DBu, 0x6A0A, 0x48C2, 0xAA, 0x71, 0x32, 0x96, 0x6E, 0x26, 0xAB, 0xB1);
constexpr IID IID_IWMPQuery(0xA969AB90u, 0xD694, 0x4C93, 0xA8, 0xAD, 0xB7, 0x68, 0x8C, 0x46, 0xD1, 0xA2);
constexpr IID IID_IWMPMediaCollection(0x4BFE40F1u, 0x6CD2, 0x4BC5, 0xA4, 0xE1, 0xE5, 0xC4, 0xB9, 0x88, 0x5F, 0xE0);
constexpr IID IID_IWMPMediaCollection2(0x584ED476u, 0x41DD, 0x4D5A, 0xA2, 0x68, 0x6C, 0xB4, 0x81, 0xE1, 0x4E, 0x81);
constexpr IID IID_IWMPControls(0x28C2CA81u, 0x4357, 0x448E, 0xAC, 0x52, 0xD9, 0xC3, 0x02, 0xDD, 0xB7, 0xE0);
constexpr IID IID_IWMPSettings(0xFA48BA9Eu, 0x17C7, 0x4BEB, 0xA8, 0x53, 0x7E, 0xAA, 0xFB, 0xC7, 0xC4, 0x62);
constexpr IID IID_IWMPPlayerApplication(0x99FCF431u, 0x6087, 0x4BEE, 0xB7, 0x3B, 0x6C, 0x63, 0x6A, 0xCF, 0x7A, 0x35);

// ---- codes the player answers with ----------------------------------------------------------------

constexpr HRESULT WMP_E_INVALIDARG = MakeHResult(0x80070057u);        // bad index, attribute, operator or name
constexpr HRESULT WMP_E_FILE_NOT_FOUND = MakeHResult(0x80070002u);    // add() of a missing file
constexpr HRESULT WMP_E_ACCESS_DENIED = MakeHResult(0x80070005u);     // read-only attribute, automatic playlist
constexpr HRESULT WMP_E_NOCONNECTION = MakeHResult(0x80040200u);      // no such connection point / cookie
constexpr HRESULT WMP_E_DISCONNECTED = MakeHResult(0x80010108u);      // the player object is gone

// playState values.
enum WmpPlayState : qint32
{
    WmpPlayStateUndefined = 0,
    WmpPlayStateStopped = 1,
    WmpPlayStatePaused = 2,
    WmpPlayStatePlaying = 3,
    WmpPlayStateMediaEnded = 8,
    WmpPlayStateTransitioning = 9,
    WmpPlayStateReady = 10,
};

// The change argument of PlaylistChange and CurrentPlaylistChange.
enum WmpPlaylistChange : qint32
{
    WmpPlaylistChangeUnknown = 0,
    WmpPlaylistChangeClear = 1,
    WmpPlaylistChangeInfo = 2,
    WmpPlaylistChangeMove = 3,
    WmpPlaylistChangeDelete = 4,
    WmpPlaylistChangeInsert = 5,
    WmpPlaylistChangeAppend = 6,
    WmpPlaylistChangeName = 7,
};

// openState value sent when a new item has been opened.
constexpr qint32 WmpOpenStateMediaOpen = 13;

// ---- connection points and services -----------------------------------------------------------

struct IConnectionPoint : IUnknown
{
    virtual HRESULT GetConnectionInterface(IID* iid) = 0;
    // The point keeps one reference on the sink until Unadvise.
    virtual HRESULT Advise(IUnknown* sink, quint32* cookie) = 0;
    virtual HRESULT Unadvise(quint32 cookie) = 0;
};

struct IConnectionPointContainer : IUnknown
{
    virtual HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** point) = 0;
};

struct IServiceProvider : IUnknown
{
    virtual HRESULT QueryService(const QUuid& service, const IID& iid, void** object) = 0;
};

// Implemented by the host that wants the control attached to the running player application.
struct IWMPRemoteMediaServices : IUnknown
{
    // Each BSTR is allocated by the callee and freed by the caller.
    virtual HRESULT GetServiceType(BSTR* type) = 0;
    virtual HRESULT GetApplicationName(BSTR* name) = 0;
    virtual HRESULT GetScriptableObject(BSTR* name, IUnknown** object) = 0;
    virtual HRESULT GetCustomUIMode(BSTR* file) = 0;
};

// ---- library objects ----------------------------------------------------------------------------

struct IWMPErrorItem : IUnknown
{
    virtual HRESULT get_errorCode(qint32* code) = 0;
    virtual HRESULT get_errorDescription(QString* description) = 0;
};

struct IWMPError : IUnknown
{
    virtual HRESULT clearErrorQueue() = 0;
    virtual HRESULT get_errorCount(qint32* count) = 0;
    virtual HRESULT get_item(qint32 index, IWMPErrorItem** item) = 0;
};

struct IWMPMedia : IUnknown
{
    virtual HRESULT get_isIdentical(IWMPMedia* other, bool* identical) = 0;
    virtual HRESULT get_sourceURL(QString* url) = 0;
    virtual HRESULT get_name(QString* name) = 0;
    // The title; for a playlist's library item it renames the playlist too.
    virtual HRESULT put_name(const QString& name) = 0;
    virtual HRESULT get_duration(double* seconds) = 0;
    virtual HRESULT get_attributeCount(qint32* count) = 0;
    virtual HRESULT getAttributeName(qint32 index, QString* name) = 0;
    virtual HRESULT getItemInfo(const QString& attribute, QString* value) = 0;
    virtual HRESULT setItemInfo(const QString& attribute, const QString& value) = 0;
    virtual HRESULT getItemInfoByAtom(qint32 atom, QString* value) = 0;
    virtual HRESULT isReadOnlyItem(const QString& attribute, bool* readOnly) = 0;
};

struct IWMPPlaylist : IUnknown
{
    virtual HRESULT get_count(qint32* count) = 0;
    virtual HRESULT get_name(QString* name) = 0;
    virtual HRESULT put_name(const QString& name) = 0;
    virtual HRESULT get_attributeCount(qint32* count) = 0;
    virtual HRESULT get_attributeName(qint32 index, QString* name) = 0;
    virtual HRESULT get_item(qint32 index, IWMPMedia** item) = 0;
    virtual HRESULT getItemInfo(const QString& attribute, QString* value) = 0;
    virtual HRESULT setItemInfo(const QString& attribute, const QString& value) = 0;
    virtual HRESULT get_isIdentical(IWMPPlaylist* other, bool* identical) = 0;
    virtual HRESULT clear() = 0;
    virtual HRESULT insertItem(qint32 index, IWMPMedia* item) = 0;
    virtual HRESULT appendItem(IWMPMedia* item) = 0;
    virtual HRESULT removeItem(IWMPMedia* item) = 0;
    virtual HRESULT moveItem(qint32 oldIndex, qint32 newIndex) = 0;
};

struct IWMPPlaylistArray : IUnknown
{
    virtual HRESULT get_count(qint32* count) = 0;
    virtual HRESULT item(qint32 index, IWMPPlaylist** playlist) = 0;
};

struct IWMPPlaylistCollection : IUnknown
{
    virtual HRESULT newPlaylist(const QString& name, IWMPPlaylist** playlist) = 0;
    virtual HRESULT getAll(IWMPPlaylistArray** playlists) = 0;
    virtual HRESULT getByName(const QString& name, IWMPPlaylistArray** playlists) = 0;
    virtual HRESULT remove(IWMPPlaylist* playlist) = 0;
};

struct IWMPStringCollection : IUnknown
{
    virtual HRESULT get_count(qint32* count) = 0;
    virtual HRESULT item(qint32 index, QString* value) = 0;
};

// Conditions of one group must all hold; groups started with beginNextGroup are alternatives.
// Operators: "Equals", "NotEquals", "Contains", "NotContains", "BeginsWith" (no regard to case).
struct IWMPQuery : IUnknown
{
    virtual HRESULT addCondition(const QString& attribute, const QString& op, const QString& value) = 0;
    virtual HRESULT beginNextGroup() = 0;
};

struct IWMPMediaCollection : IUnknown
{
    // The library item of a file; an existing item when the path is already in the library.
    virtual HRESULT add(const QString& url, IWMPMedia** item) = 0;
    virtual HRESULT getAll(IWMPPlaylist** items) = 0;
    virtual HRESULT getByName(const QString& name, IWMPPlaylist** items) = 0;
    virtual HRESULT getByAttribute(const QString& attribute, const QString& value, IWMPPlaylist** items) = 0;
    // Takes the item out of the library; deleteFile also removes the file from disk.
    virtual HRESULT remove(IWMPMedia* item, bool deleteFile) = 0;
    virtual HRESULT getAttributeStringCollection(const QString& attribute, const QString& mediaType,
                                                 IWMPStringCollection** values) = 0;
    virtual HRESULT getMediaAtom(const QString& attribute, qint32* atom) = 0;
    virtual HRESULT isDeleted(IWMPMedia* item, bool* deleted) = 0;
};

struct IWMPMediaCollection2 : IWMPMediaCollection
{
    virtual HRESULT createQuery(IWMPQuery** query) = 0;
    // sortAttribute: attribute names joined by ","; empty = library order.
    virtual HRESULT getPlaylistByQuery(IWMPQuery* query, const QString& mediaType, const QString& sortAttribute,
                                       bool ascending, IWMPPlaylist** items) = 0;
    // The distinct non-empty values of attribute among the matching items.
    virtual HRESULT getStringCollectionByQuery(const QString& attribute, IWMPQuery* query, const QString& mediaType,
                                               const QString& sortAttribute, bool ascending,
                                               IWMPStringCollection** values) = 0;
    virtual HRESULT getByAttributeAndMediaType(const QString& attribute, const QString& value,
                                               const QString& mediaType, IWMPPlaylist** items) = 0;
};

// ---- transport, settings, application --------------------------------------------------------------

struct IWMPControls : IUnknown
{
    // Names: "play", "pause", "stop", "next", "previous", "currentPosition", "currentItem".
    virtual HRESULT get_isAvailable(const QString& name, bool* available) = 0;
    virtual HRESULT play() = 0;
    virtual HRESULT stop() = 0;
    virtual HRESULT pause() = 0;
    virtual HRESULT get_currentPosition(double* seconds) = 0;
    virtual HRESULT put_currentPosition(double seconds) = 0;
    virtual HRESULT next() = 0;
    virtual HRESULT previous() = 0;
    virtual HRESULT get_currentItem(IWMPMedia** item) = 0;
    virtual HRESULT put_currentItem(IWMPMedia* item) = 0;
    virtual HRESULT playItem(IWMPMedia* item) = 0;
};

struct IWMPSettings : IUnknown
{
    virtual HRESULT get_autoStart(bool* autoStart) = 0;
    virtual HRESULT put_autoStart(bool autoStart) = 0;
    virtual HRESULT get_volume(qint32* volume) = 0;  // 0..100
    virtual HRESULT put_volume(qint32 volume) = 0;
    virtual HRESULT get_mute(bool* mute) = 0;
    virtual HRESULT put_mute(bool mute) = 0;
    // Modes: "shuffle", "loop".
    virtual HRESULT getMode(const QString& mode, bool* on) = 0;
    virtual HRESULT setMode(const QString& mode, bool on) = 0;
};

struct IWMPPlayerApplication : IUnknown
{
    virtual HRESULT switchToPlayerApplication() = 0;
    virtual HRESULT switchToControl() = 0;
    virtual HRESULT get_playerDocked(bool* docked) = 0;
    virtual HRESULT get_hasDisplay(bool* hasDisplay) = 0;
};

struct IWMPPlayer4 : IUnknown
{
    virtual HRESULT close() = 0;
    virtual HRESULT get_openState(qint32* state) = 0;
    virtual HRESULT get_playState(qint32* state) = 0;
    virtual HRESULT get_controls(IWMPControls** controls) = 0;
    virtual HRESULT get_settings(IWMPSettings** settings) = 0;
    virtual HRESULT get_currentMedia(IWMPMedia** item) = 0;
    virtual HRESULT put_currentMedia(IWMPMedia* item) = 0;
    virtual HRESULT get_mediaCollection(IWMPMediaCollection** collection) = 0;
    virtual HRESULT get_playlistCollection(IWMPPlaylistCollection** collection) = 0;
    virtual HRESULT get_versionInfo(QString* version) = 0;
    virtual HRESULT get_currentPlaylist(IWMPPlaylist** playlist) = 0;
    virtual HRESULT put_currentPlaylist(IWMPPlaylist* playlist) = 0;
    virtual HRESULT get_error(IWMPError** error) = 0;
    virtual HRESULT get_status(QString* status) = 0;
    virtual HRESULT get_isRemote(bool* remote) = 0;
    virtual HRESULT get_playerApplication(IWMPPlayerApplication** application) = 0;
};

// ---- events ------------------------------------------------------------------------------------

// The typed event sink. Object arguments (items, playlists) are valid during the call only; QueryInterface
// them for IWMPMedia or IWMPPlaylist and AddRef to keep them.
struct IWMPEvents : IUnknown
{
    virtual void OpenStateChange(qint32 newState) = 0;
    virtual void PlayStateChange(qint32 newState) = 0;
    virtual void PositionChange(double oldPosition, double newPosition) = 0;
    virtual void CurrentItemChange(IUnknown* item) = 0;
    virtual void CurrentPlaylistChange(qint32 change) = 0;
    virtual void PlaylistChange(IUnknown* playlist, qint32 change) = 0;
    virtual void MediaChange(IUnknown* item) = 0;
    virtual void ModeChange(const QString& mode, bool on) = 0;
    virtual void Error() = 0;
    virtual void MediaCollectionChange() = 0;
    virtual void MediaCollectionMediaAdded(IUnknown* item) = 0;
    virtual void MediaCollectionMediaRemoved(IUnknown* item) = 0;
    virtual void MediaCollectionAttributeStringAdded(const QString& attribute, const QString& value) = 0;
    virtual void MediaCollectionAttributeStringRemoved(const QString& attribute, const QString& value) = 0;
    virtual void MediaCollectionAttributeStringChanged(const QString& attribute, const QString& oldValue,
                                                       const QString& newValue) = 0;
    virtual void PlaylistCollectionChange() = 0;
    virtual void PlaylistCollectionPlaylistAdded(const QString& name) = 0;
    virtual void PlaylistCollectionPlaylistRemoved(const QString& name) = 0;
    virtual void PlayerDockedStateChange() = 0;
    virtual void PlayerReconnect() = 0;
    virtual void SwitchedToPlayerApplication() = 0;
    virtual void SwitchedToControl() = 0;
};

// The dispatch event sink: every event by its IWMPEvents name with its arguments in order. Object
// arguments are IUnknown pointers packed as void* (QVariant::value<void*>()), valid during the call only.
struct _WMPOCXEvents : IUnknown
{
    virtual HRESULT Invoke(const QString& eventName, const QVariantList& arguments) = 0;
};
