#include "players/wmp/iplayerclientwmpsongprivimpl.h"

#include <QDate>
#include <QRegularExpression>

#include "core/corefiles.h"
#include "core/log.h"
#include "core/mediahelper.h"
#include "core/resultcodes.h"
#include "players/wmp/playerclientwmp.h"
#include "players/wmp/playerclientwmphelper.h"

typedef WMDM::CIUnknownImpl<CIPlayerClientWmpSongPrivImpl> CIPlayerClientWmpSongObj;

CIPlayerClientWmpSongPrivImpl::CIPlayerClientWmpSongPrivImpl() : QObject(nullptr) {}

CIPlayerClientWmpSongPrivImpl::~CIPlayerClientWmpSongPrivImpl()
{
    if (m_media)
        m_media->Release();
}

HRESULT CIPlayerClientWmpSongPrivImpl::CreateInstanceWithRawInteface(CPlayerClientWMP* owner, IWMPMedia* media,
                                                                     IPlayerClientWmpSongPriv** out)
{
    if (!out)
        return E_POINTER;
    if (*out) {
        (*out)->Release();
        *out = nullptr;
    }
    if (!owner) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::CreateInstanceWithRawInteface: no owner");
        return E_INVALIDARG;
    }
    if (!media) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::CreateInstanceWithRawInteface: no raw interface");
        return E_INVALIDARG;
    }
    CIPlayerClientWmpSongObj* song = new CIPlayerClientWmpSongObj();
    song->m_owner = owner;
    song->m_ownerKey = owner;
    media->AddRef();
    song->m_media = media;
    *out = song;
    return S_OK;
}

HRESULT CIPlayerClientWmpSongPrivImpl::QueryInterface(const IID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IPlayerClientSong || iid == IID_IPlayerClientWmpSongPriv) {
        *object = static_cast<IPlayerClientWmpSongPriv*>(this);
        InternalAddRef();
        return S_OK;
    }
    return WMDM::CIUnknownBase::QueryInterface(iid, object);
}

CPlayerClientBase* CIPlayerClientWmpSongPrivImpl::GetOwner()
{
    return m_owner.data();
}

CPlayerClientWMPHelper* CIPlayerClientWmpSongPrivImpl::Helper() const
{
    return m_owner ? m_owner->GetHelper() : nullptr;
}

// ---- attributes ---------------------------------------------------------------------------------

QString CIPlayerClientWmpSongPrivImpl::GetRawAttribute(IWMPMedia* media, int number, CPlayerClientWMPHelper* helper)
{
    const QString name = CPlayerClientWMPHelper::GetMediaAttributeName(number);
    if (name.isEmpty()) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::GetRawAttribute: invalid attribute");
        return QString();
    }
    if (!media)
        return QString();
    QString value;
    const int atom = helper ? helper->GetMediaAttributeIndex(number) : -1;
    if (atom >= 0) {
        const HRESULT hr = media->getItemInfoByAtom(atom, &value);
        if (FAILED(hr)) {
            WriteLog("CIPlayerClientWmpSongPrivImpl::GetRawAttribute: getItemInfoByAtom(id=%d) failed %x", atom, hr);
            return QString();
        }
        return value;
    }
    const HRESULT hr = media->getItemInfo(name, &value);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::GetRawAttribute: getItemInfo(%ls) failed %x", qUtf16Printable(name),
                 hr);
        return QString();
    }
    return value;
}

HRESULT CIPlayerClientWmpSongPrivImpl::SetRawAttribute(IWMPMedia* media, const QString& name, const QString& value)
{
    if (!media)
        return E_INVALIDARG;
    const HRESULT hr = media->setItemInfo(name, value);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::SetRawAttribute: setItemInfo(%ls)=[%ls] failed %x",
                 qUtf16Printable(name), qUtf16Printable(value), hr);
    }
    return hr;
}

namespace {

// A whole number of 1 or more, else -1.
int PositiveNumber(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value >= 1 ? value : -1;
}

} // namespace

HRESULT CIPlayerClientWmpSongPrivImpl::ReadSongMetadata(IWMPMedia* media, CFileMetadata& record, CSongMetadata* full,
                                                       CPlayerClientWMPHelper* helper)
{
    if (!media) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::GetSongMetadata: no song");
        return E_INVALIDARG;
    }
    QString path = GetRawAttribute(media, CPlayerClientWMPHelper::AttributeSourceUrl, helper);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    record.filePath = path;
    const int format = CCoreMediaHelper::FindFormatEntry(path);
    record.formatIndex = format < CCoreMediaHelper::FormatTableEnd() ? format : -1;
    record.title = GetRawAttribute(media, CPlayerClientWMPHelper::AttributeTitle, helper).trimmed();
    record.artist = GetRawAttribute(media, CPlayerClientWMPHelper::AttributeAuthor, helper).trimmed();
    record.album = GetRawAttribute(media, CPlayerClientWMPHelper::AttributeAlbum, helper).trimmed();
    if (full) {
        full->trackNumber =
            PositiveNumber(GetRawAttribute(media, CPlayerClientWMPHelper::AttributeTrackNumber, helper));
        full->year = PositiveNumber(GetRawAttribute(media, CPlayerClientWMPHelper::AttributeYear, helper));
        full->genre = GetRawAttribute(media, CPlayerClientWMPHelper::AttributeGenre, helper).trimmed();
    }
    // The player may list a song whose file has gone.
    return FileExists(path) ? S_OK : S_FALSE;
}

HRESULT CIPlayerClientWmpSongPrivImpl::GetSongMetadata(IWMPMedia* media, CFileMetadata& record,
                                                      CPlayerClientWMPHelper* helper)
{
    record = CFileMetadata();
    return ReadSongMetadata(media, record, nullptr, helper);
}

HRESULT CIPlayerClientWmpSongPrivImpl::GetSongMetadata(IWMPMedia* media, CSongMetadata& record,
                                                      CPlayerClientWMPHelper* helper)
{
    record = CSongMetadata();
    return ReadSongMetadata(media, record, &record, helper);
}

QString CIPlayerClientWmpSongPrivImpl::YearDateText(int year, const QLocale& locale)
{
    // A two-digit year in the short form would lose the century.
    QString format = locale.dateFormat(QLocale::ShortFormat);
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
    format.replace(shortYear, QStringLiteral("yyyy"));
    if (!format.contains(QLatin1String("yyyy")))
        format = QStringLiteral("yyyy-MM-dd");
    return locale.toString(QDate(year, 1, 1), format);
}

// ---- metadata -----------------------------------------------------------------------------------

HRESULT CIPlayerClientWmpSongPrivImpl::ReadOwnMetadata(CFileMetadata& record, CSongMetadata* full)
{
    if (!m_media) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::GetMetadata: not ready");
        return SV_E_NO_PLAYER_OBJECT;
    }
    const HRESULT hr = ReadSongMetadata(m_media, record, full, Helper());
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::GetMetadata: GetSongMetadata failed %x", hr);
        return hr;
    }
    if (hr > 0) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::GetMetadata: song's file doesn't exist");
        return SV_E_FILE_MISSING;
    }
    return S_OK;
}

HRESULT CIPlayerClientWmpSongPrivImpl::GetMetadata(CFileMetadata* metadata)
{
    if (!metadata)
        return E_POINTER;
    if (m_metadata) {
        *metadata = *m_metadata;
        return S_OK;
    }
    CFileMetadata record;
    const HRESULT hr = ReadOwnMetadata(record, nullptr);
    if (FAILED(hr))
        return hr;
    m_metadata.reset(new CFileMetadata(record));
    *metadata = record;
    return S_OK;
}

HRESULT CIPlayerClientWmpSongPrivImpl::GetMetadata(CSongMetadata* metadata)
{
    if (!metadata)
        return E_POINTER;
    CSongMetadata record;
    const HRESULT hr = ReadOwnMetadata(record, &record);
    if (FAILED(hr))
        return hr;
    *metadata = record;
    return S_OK;
}

HRESULT CIPlayerClientWmpSongPrivImpl::SetMetadata(const CSongMetadata* metadata)
{
    if (!metadata)
        return E_POINTER;
    return DoSetMetadata(metadata, metadata);
}

HRESULT CIPlayerClientWmpSongPrivImpl::SetMetadata(const CFileMetadata* metadata)
{
    if (!metadata)
        return E_POINTER;
    return DoSetMetadata(metadata, nullptr);
}

HRESULT CIPlayerClientWmpSongPrivImpl::DoSetMetadata(const CFileMetadata* record, const CSongMetadata* full)
{
    m_metadata.reset();
    IWMPMedia* media = nullptr;
    HRESULT hr = GetRawInterface(&media);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::DoSetMetadata: GetRawInterface failed %x", hr);
        return hr;
    }
    // Texts go in trimmed, as they are read back.
    struct CWrite
    {
        const char* attribute;
        QString value;
        bool write;
        const char* what;
    };
    QVector<CWrite> writes{
        {"Title", record->title.trimmed(), true, "title"},
        {"Author", record->artist.trimmed(), true, "artist"},
        {"WM/AlbumTitle", record->album.trimmed(), true, "album"},
    };
    if (full) {
        writes.append({"WM/TrackNumber", QString::number(full->trackNumber), full->trackNumber >= 1, "track"});
        writes.append({"ReleaseDate", full->year >= 1 ? YearDateText(full->year) : QString(), full->year >= 1, "year"});
        writes.append({"WM/Genre", full->genre.trimmed(), true, "genre"});
    }
    for (const CWrite& write : qAsConst(writes)) {
        if (!write.write)
            continue;
        hr = SetRawAttribute(media, QLatin1String(write.attribute), write.value);
        if (FAILED(hr)) {
            WriteLog("CIPlayerClientWmpSongPrivImpl::DoSetMetadata: set %s failed %x", write.what, hr);
            media->Release();
            return hr;
        }
    }
    media->Release();
    return S_OK;
}

HRESULT CIPlayerClientWmpSongPrivImpl::GetDuration(double* seconds)
{
    if (!seconds)
        return E_POINTER;
    if (!m_hasDuration) {
        IWMPMedia* media = nullptr;
        const HRESULT hr = GetRawInterface(&media);
        if (FAILED(hr)) {
            WriteLog("CIPlayerClientWmpSongPrivImpl::GetDuration: GetRawInterface failed %x", hr);
            return hr;
        }
        m_duration = GetRawAttribute(media, CPlayerClientWMPHelper::AttributeDuration, Helper()).toDouble();
        m_hasDuration = true;
        media->Release();
    }
    *seconds = m_duration;
    return S_OK;
}

HRESULT CIPlayerClientWmpSongPrivImpl::GetRawInterface(IWMPMedia** media)
{
    if (!media)
        return E_POINTER;
    *media = nullptr;
    const HRESULT ready = m_owner ? m_owner->GetReadyState() : SV_E_PLAYER_NOT_RUNNING;
    if (FAILED(ready)) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::GetRawInterface: player not ready: %x", ready);
        return ready;
    }
    if (!m_media) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::GetRawInterface: not found");
        return SV_E_NO_PLAYER_OBJECT;
    }
    m_media->AddRef();
    *media = m_media;
    return S_OK;
}

// ---- playing ------------------------------------------------------------------------------------

HRESULT CIPlayerClientWmpSongPrivImpl::Play()
{
    IWMPMedia* media = nullptr;
    HRESULT hr = GetRawInterface(&media);
    if (FAILED(hr))
        return hr;
    IWMPControls* controls = nullptr;
    hr = Helper() ? Helper()->GetControls(&controls) : E_FAIL;
    if (SUCCEEDED(hr)) {
        hr = controls->playItem(media);
        controls->Release();
    }
    media->Release();
    if (FAILED(hr))
        WriteLog("CIPlayerClientWmpSongPrivImpl::Play: playItem failed %x", hr);
    return hr;
}

HRESULT CIPlayerClientWmpSongPrivImpl::Play(IPlayerClientPlaylist* playlist)
{
    if (!playlist) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::Play: no playlist");
        return E_INVALIDARG;
    }
    void* face = nullptr;
    if (playlist->GetOwner() != m_ownerKey ||
        FAILED(playlist->QueryInterface(IID_IPlayerClientWmpPlaylistPriv, &face))) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::Play: alien playlist");
        return E_INVALIDARG;
    }
    IPlayerClientWmpPlaylistPriv* own = static_cast<IPlayerClientWmpPlaylistPriv*>(face);
    HRESULT hr = own->Load();
    own->Release();
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::Play: Load failed %x", hr);
        return hr;
    }
    IWMPMedia* media = nullptr;
    hr = GetRawInterface(&media);
    if (FAILED(hr))
        return hr;
    CPlayerClientWMPHelper* helper = Helper();
    IWMPControls* controls = nullptr;
    hr = helper ? helper->GetControls(&controls) : E_FAIL;
    if (SUCCEEDED(hr)) {
        hr = controls->put_currentItem(media);
        controls->Release();
    }
    media->Release();
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::Play: put_currentItem failed %x", hr);
        return hr;
    }
    // The player needs a moment with its new list before it plays.
    helper->StartPlayTimer();
    return S_OK;
}

HRESULT CIPlayerClientWmpSongPrivImpl::IsEqualTo(IPlayerClientSong* other)
{
    if (!other)
        return S_FALSE;
    if (other == static_cast<IPlayerClientSong*>(this))
        return S_OK;
    void* face = nullptr;
    if (other->GetOwner() != m_ownerKey || FAILED(other->QueryInterface(IID_IPlayerClientWmpSongPriv, &face))) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::IsEqualTo: alien item");
        return S_FALSE;
    }
    IPlayerClientWmpSongPriv* song = static_cast<IPlayerClientWmpSongPriv*>(face);
    IWMPMedia* otherMedia = nullptr;
    HRESULT hr = song->GetRawInterface(&otherMedia);
    song->Release();
    if (FAILED(hr))
        return hr;
    bool identical = false;
    hr = m_media ? m_media->get_isIdentical(otherMedia, &identical) : SV_E_NO_PLAYER_OBJECT;
    otherMedia->Release();
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpSongPrivImpl::IsEqualTo: get_isIdentical failed %x", hr);
        return hr;
    }
    return identical ? S_OK : S_FALSE;
}
