#pragma once
// The simulated player's automation objects. Every getter hands out a fresh object over the same
// record, so two pointers to one item differ and only get_isIdentical tells that they are the same.
// An object outliving its player answers 0x80010108; objects of removed items can be read, not written.
#include <QPointer>
#include <QStringList>
#include <QVector>
#include <atomic>

#include "platform/wmp/simlibrary.h"
#include "platform/wmp/simplayer.h"
#include "platform/wmp/wmpinterfaces.h"

namespace Platform {
namespace Wmp {

// Reference count of the objects below; the object deletes itself at zero.
class CSimObjectBase
{
public:
    CSimObjectBase(const CSimObjectBase&) = delete;
    CSimObjectBase& operator=(const CSimObjectBase&) = delete;

protected:
    explicit CSimObjectBase(CSimPlayer* player);
    virtual ~CSimObjectBase();

    quint32 DoAddRef() { return ++m_refs; }
    quint32 DoRelease();
    CSimPlayer* Player() const { return m_player.data(); }

private:
    std::atomic<quint32> m_refs{1};
    QPointer<CSimPlayer> m_player;
};

#define SIM_IUNKNOWN_METHODS                                       \
    HRESULT QueryInterface(const IID& iid, void** object) override; \
    quint32 AddRef() override { return DoAddRef(); }                \
    quint32 Release() override { return DoRelease(); }

class CSimMedia final : public IWMPMedia, private CSimObjectBase
{
public:
    CSimMedia(CSimPlayer* player, const CMediaRef& media);
    const CMediaRef& Record() const { return m_media; }
    // The record behind an object of this player, null for anything else.
    static CMediaRef RecordOf(IUnknown* object);

    SIM_IUNKNOWN_METHODS
    HRESULT get_isIdentical(IWMPMedia* other, bool* identical) override;
    HRESULT get_sourceURL(QString* url) override;
    HRESULT get_name(QString* name) override;
    HRESULT put_name(const QString& name) override;
    HRESULT get_duration(double* seconds) override;
    HRESULT get_attributeCount(qint32* count) override;
    HRESULT getAttributeName(qint32 index, QString* name) override;
    HRESULT getItemInfo(const QString& attribute, QString* value) override;
    HRESULT setItemInfo(const QString& attribute, const QString& value) override;
    HRESULT getItemInfoByAtom(qint32 atom, QString* value) override;
    HRESULT isReadOnlyItem(const QString& attribute, bool* readOnly) override;

private:
    CMediaRef m_media;
};

class CSimPlaylist final : public IWMPPlaylist, private CSimObjectBase
{
public:
    CSimPlaylist(CSimPlayer* player, const CPlaylistRef& playlist);
    const CPlaylistRef& Record() const { return m_playlist; }
    static CPlaylistRef RecordOf(IUnknown* object);

    SIM_IUNKNOWN_METHODS
    HRESULT get_count(qint32* count) override;
    HRESULT get_name(QString* name) override;
    HRESULT put_name(const QString& name) override;
    HRESULT get_attributeCount(qint32* count) override;
    HRESULT get_attributeName(qint32 index, QString* name) override;
    HRESULT get_item(qint32 index, IWMPMedia** item) override;
    HRESULT getItemInfo(const QString& attribute, QString* value) override;
    HRESULT setItemInfo(const QString& attribute, const QString& value) override;
    HRESULT get_isIdentical(IWMPPlaylist* other, bool* identical) override;
    HRESULT clear() override;
    HRESULT insertItem(qint32 index, IWMPMedia* item) override;
    HRESULT appendItem(IWMPMedia* item) override;
    HRESULT removeItem(IWMPMedia* item) override;
    HRESULT moveItem(qint32 oldIndex, qint32 newIndex) override;

private:
    CPlaylistRef m_playlist;
};

class CSimPlaylistArray final : public IWMPPlaylistArray, private CSimObjectBase
{
public:
    CSimPlaylistArray(CSimPlayer* player, const QVector<CPlaylistRef>& playlists);

    SIM_IUNKNOWN_METHODS
    HRESULT get_count(qint32* count) override;
    HRESULT item(qint32 index, IWMPPlaylist** playlist) override;

private:
    QVector<CPlaylistRef> m_playlists;
};

class CSimPlaylistCollection final : public IWMPPlaylistCollection, private CSimObjectBase
{
public:
    explicit CSimPlaylistCollection(CSimPlayer* player);

    SIM_IUNKNOWN_METHODS
    HRESULT newPlaylist(const QString& name, IWMPPlaylist** playlist) override;
    HRESULT getAll(IWMPPlaylistArray** playlists) override;
    HRESULT getByName(const QString& name, IWMPPlaylistArray** playlists) override;
    HRESULT remove(IWMPPlaylist* playlist) override;
};

class CSimStringCollection final : public IWMPStringCollection, private CSimObjectBase
{
public:
    CSimStringCollection(CSimPlayer* player, const QStringList& values);

    SIM_IUNKNOWN_METHODS
    HRESULT get_count(qint32* count) override;
    HRESULT item(qint32 index, QString* value) override;

private:
    QStringList m_values;
};

class CSimQuery final : public IWMPQuery, private CSimObjectBase
{
public:
    explicit CSimQuery(CSimPlayer* player);
    const CSimLibrary::CConditionGroups& Groups() const { return m_groups; }
    // The conditions of a query of this player; false for anything else.
    static bool GroupsOf(IWMPQuery* query, CSimLibrary::CConditionGroups& groups);

    SIM_IUNKNOWN_METHODS
    HRESULT addCondition(const QString& attribute, const QString& op, const QString& value) override;
    HRESULT beginNextGroup() override;

private:
    CSimLibrary::CConditionGroups m_groups;
};

class CSimMediaCollection final : public IWMPMediaCollection2, private CSimObjectBase
{
public:
    explicit CSimMediaCollection(CSimPlayer* player);

    SIM_IUNKNOWN_METHODS
    HRESULT add(const QString& url, IWMPMedia** item) override;
    HRESULT getAll(IWMPPlaylist** items) override;
    HRESULT getByName(const QString& name, IWMPPlaylist** items) override;
    HRESULT getByAttribute(const QString& attribute, const QString& value, IWMPPlaylist** items) override;
    HRESULT remove(IWMPMedia* item, bool deleteFile) override;
    HRESULT getAttributeStringCollection(const QString& attribute, const QString& mediaType,
                                         IWMPStringCollection** values) override;
    HRESULT getMediaAtom(const QString& attribute, qint32* atom) override;
    HRESULT isDeleted(IWMPMedia* item, bool* deleted) override;
    HRESULT createQuery(IWMPQuery** query) override;
    HRESULT getPlaylistByQuery(IWMPQuery* query, const QString& mediaType, const QString& sortAttribute,
                               bool ascending, IWMPPlaylist** items) override;
    HRESULT getStringCollectionByQuery(const QString& attribute, IWMPQuery* query, const QString& mediaType,
                                       const QString& sortAttribute, bool ascending,
                                       IWMPStringCollection** values) override;
    HRESULT getByAttributeAndMediaType(const QString& attribute, const QString& value, const QString& mediaType,
                                       IWMPPlaylist** items) override;

private:
    HRESULT Answer(const CSimLibrary::CConditionGroups& groups, const QString& mediaType, const QString& sort,
                   bool ascending, IWMPPlaylist** items);
    // The items whose attribute attr equals value (no regard to case); attr -1 is an invalid argument.
    HRESULT AnswerEquals(int attr, const QString& value, const QString& mediaType, IWMPPlaylist** items);
};

class CSimControls final : public IWMPControls, private CSimObjectBase
{
public:
    explicit CSimControls(CSimPlayer* player);

    SIM_IUNKNOWN_METHODS
    HRESULT get_isAvailable(const QString& name, bool* available) override;
    HRESULT play() override;
    HRESULT stop() override;
    HRESULT pause() override;
    HRESULT get_currentPosition(double* seconds) override;
    HRESULT put_currentPosition(double seconds) override;
    HRESULT next() override;
    HRESULT previous() override;
    HRESULT get_currentItem(IWMPMedia** item) override;
    HRESULT put_currentItem(IWMPMedia* item) override;
    HRESULT playItem(IWMPMedia* item) override;
};

class CSimSettings final : public IWMPSettings, private CSimObjectBase
{
public:
    explicit CSimSettings(CSimPlayer* player);

    SIM_IUNKNOWN_METHODS
    HRESULT get_autoStart(bool* autoStart) override;
    HRESULT put_autoStart(bool autoStart) override;
    HRESULT get_volume(qint32* volume) override;
    HRESULT put_volume(qint32 volume) override;
    HRESULT get_mute(bool* mute) override;
    HRESULT put_mute(bool mute) override;
    HRESULT getMode(const QString& mode, bool* on) override;
    HRESULT setMode(const QString& mode, bool on) override;
};

class CSimErrorItem final : public IWMPErrorItem, private CSimObjectBase
{
public:
    CSimErrorItem(CSimPlayer* player, HRESULT code, const QString& description);

    SIM_IUNKNOWN_METHODS
    HRESULT get_errorCode(qint32* code) override;
    HRESULT get_errorDescription(QString* description) override;

private:
    HRESULT m_code;
    QString m_description;
};

class CSimError final : public IWMPError, private CSimObjectBase
{
public:
    explicit CSimError(CSimPlayer* player);

    SIM_IUNKNOWN_METHODS
    HRESULT clearErrorQueue() override;
    HRESULT get_errorCount(qint32* count) override;
    HRESULT get_item(qint32 index, IWMPErrorItem** item) override;
};

class CSimPlayerApplication final : public IWMPPlayerApplication, private CSimObjectBase
{
public:
    explicit CSimPlayerApplication(CSimPlayer* player);

    SIM_IUNKNOWN_METHODS
    HRESULT switchToPlayerApplication() override;
    HRESULT switchToControl() override;
    HRESULT get_playerDocked(bool* docked) override;
    HRESULT get_hasDisplay(bool* hasDisplay) override;
};

// The control: the player object of one host. Sinks advised on its connection points are let go when
// the control goes away.
class CSimControl final : public IWMPPlayer4, public IConnectionPointContainer, private CSimObjectBase
{
public:
    // A remote control attaches to player; a local one owns a player of its own (ownPlayer).
    CSimControl(CSimPlayer* player, bool remote, CSimPlayer* ownPlayer);
    ~CSimControl() override;

    HRESULT QueryInterface(const IID& iid, void** object) override;
    quint32 AddRef() override { return DoAddRef(); }
    quint32 Release() override { return DoRelease(); }

    HRESULT close() override;
    HRESULT get_openState(qint32* state) override;
    HRESULT get_playState(qint32* state) override;
    HRESULT get_controls(IWMPControls** controls) override;
    HRESULT get_settings(IWMPSettings** settings) override;
    HRESULT get_currentMedia(IWMPMedia** item) override;
    HRESULT put_currentMedia(IWMPMedia* item) override;
    HRESULT get_mediaCollection(IWMPMediaCollection** collection) override;
    HRESULT get_playlistCollection(IWMPPlaylistCollection** collection) override;
    HRESULT get_versionInfo(QString* version) override;
    HRESULT get_currentPlaylist(IWMPPlaylist** playlist) override;
    HRESULT put_currentPlaylist(IWMPPlaylist* playlist) override;
    HRESULT get_error(IWMPError** error) override;
    HRESULT get_status(QString* status) override;
    HRESULT get_isRemote(bool* remote) override;
    HRESULT get_playerApplication(IWMPPlayerApplication** application) override;

    HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** point) override;

    CSimPlayer* AttachedPlayer() const { return Player(); }

private:
    bool m_remote;
    CSimPlayer* m_ownPlayer;
};

// One connection point of a control; it keeps the control alive while it exists.
class CSimConnectionPoint final : public IConnectionPoint, private CSimObjectBase
{
public:
    CSimConnectionPoint(CSimPlayer* player, CSimControl* control, const IID& kind);
    ~CSimConnectionPoint() override;

    SIM_IUNKNOWN_METHODS
    HRESULT GetConnectionInterface(IID* iid) override;
    HRESULT Advise(IUnknown* sink, quint32* cookie) override;
    HRESULT Unadvise(quint32 cookie) override;

private:
    CSimControl* m_control;
    IID m_kind;
};

#undef SIM_IUNKNOWN_METHODS

} // namespace Wmp
} // namespace Platform
