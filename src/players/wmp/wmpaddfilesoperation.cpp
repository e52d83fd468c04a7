#include "players/wmp/wmpaddfilesoperation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/corefiles.h"
#include "core/log.h"
#include "core/mediahelper.h"
#include "core/resultcodes.h"
#include "players/wmp/iplayerclientwmpsongprivimpl.h"
#include "players/wmp/playerclientwmphelper.h"

typedef WMDM::CIUnknownImpl<CIPlayerClientWmpOperationAddFilesImpl> CIPlayerClientWmpOperationAddFilesObj;

namespace {

// What both Start forms require, each missing part logged.
HRESULT CheckStartArguments(CPlayerClientWMP* owner, IWMPPlaylist* playlist, CPlayerClientAddingFilesCollection* files)
{
    if (!owner) {
        WriteLog("CWmpAddFilesOperation::Start: no player");
        return E_INVALIDARG;
    }
    if (!playlist) {
        WriteLog("CWmpAddFilesOperation::Start: no playlist");
        return E_INVALIDARG;
    }
    if (!files) {
        WriteLog("CWmpAddFilesOperation::Start: no collection");
        return E_INVALIDARG;
    }
    return S_OK;
}

} // namespace

// ---- the operation ------------------------------------------------------------------------------

CWmpAddFilesOperation::CWmpAddFilesOperation(QObject* parent)
    : CPlayerClientAddFilesOperationBase(parent, QStringLiteral("WmpAddFiles"), StageCount, "CWmpAddFilesOperation",
                                         StageWait)
{
    AddStageDesc<CWmpAddFilesOperation>(StageDownloadAndAdd, "DownloadAndAdd", this,
                                        &CWmpAddFilesOperation::DoStageDownloadAndAdd_Start);
    AddStageDesc<CWmpAddFilesOperation>(StageAdd, "Add", this, &CWmpAddFilesOperation::DoStageAdd_Start,
                                        &CWmpAddFilesOperation::DoStageAdd_Body);
    AddStageDesc<CWmpAddFilesOperation>(StageWait, "Wait", this, &CWmpAddFilesOperation::DoStageWait_Start);
}

CWmpAddFilesOperation::~CWmpAddFilesOperation()
{
    ReleaseObjects();
}

void CWmpAddFilesOperation::ReleaseObjects()
{
    ReleaseAndClear(m_playlist);
    ReleaseAndClear(m_mediaCollection);
    m_syncList.Reset();
}

void CWmpAddFilesOperation::DoResetData()
{
    CPlayerClientAddFilesOperationBase::DoResetData();
    ReleaseObjects();
}

HRESULT CWmpAddFilesOperation::Start(QPointer<CPlayerClientAddFilesOperationBase>& holder, QObject* parent,
                                     CPlayerClientWMP* owner, IWMPPlaylist* playlist, bool libraryOnly,
                                     CPlayerClientAddingFilesCollection* files)
{
    HRESULT hr = CheckStartArguments(owner, playlist, files);
    if (FAILED(hr))
        return hr;
    CWmpAddFilesOperation* operation = new CWmpAddFilesOperation(parent);
    hr = operation->Start(owner, playlist, libraryOnly, files);
    if (FAILED(hr)) {
        WriteLog("CWmpAddFilesOperation: Start failed %x", hr);
        delete operation;
        return hr;
    }
    holder = operation;
    return S_OK;
}

HRESULT CWmpAddFilesOperation::Start(CPlayerClientWMP* owner, IWMPPlaylist* playlist, bool libraryOnly,
                                     CPlayerClientAddingFilesCollection* files)
{
    WriteLog("CWmpAddFilesOperation::Start: ");
    if (IsInProgress()) {
        WriteLog("CWmpAddFilesOperation::Start: in progress");
        return E_FAIL;
    }
    ResetData();
    HRESULT hr = CheckStartArguments(owner, playlist, files);
    if (FAILED(hr))
        return hr;
    m_owner = owner;
    playlist->AddRef();
    m_playlist = playlist;
    m_libraryOnly = libraryOnly;
    m_files = files;

    CPlayerClientWMPHelper* helper = owner->GetHelper();
    hr = helper ? helper->GetMediaCollection(&m_mediaCollection) : SV_E_NO_PLAYER_OBJECT;
    if (FAILED(hr)) {
        WriteLog("CWmpAddFilesOperation::Start: GetMediaCollection failed %x", hr);
        return hr;
    }
    if (files->GetFlags() & CPlayerClientAddingFilesCollection::FlagAddToSyncList) {
        hr = owner->GetPlaylistSync(m_syncList.Out());
        if (FAILED(hr)) {
            WriteLog("CWmpAddFilesOperation::Start: GetPlaylistSync failed %x", hr);
            return hr;
        }
    }

    const int count = qMax(0, files->GetCount());
    const bool withSync = bool(m_syncList);
    CDoublePairVector transform;
    int stage, steps;
    if (files->GetFlags() & CPlayerClientAddingFilesCollection::FlagMakeReadyFirst) {
        stage = StageDownloadAndAdd;
        steps = withSync ? count + 1 : count;
        if (withSync)
            transform.append(qMakePair(100.0 * count / (count + 1), 95.0));
    } else {
        stage = StageAdd;
        steps = withSync ? 2 : 1;
        if (withSync)
            transform.append(qMakePair(50.0, 95.0));
    }
    hr = ScheduleStart(0, stage, steps, &transform);
    if (FAILED(hr)) {
        WriteLog("CWmpAddFilesOperation::Start: ScheduleStart failed %x", hr);
        return hr;
    }
    m_report.result = 1;
    return S_OK;
}

void CWmpAddFilesOperation::RecordFailure(int index, int stage)
{
    m_report.failed = true;
    m_report.failedIndex = index;
    m_report.failedStage = stage;
}

// ---- stage 1: each file made ready, then added ----------------------------------------------------

int CWmpAddFilesOperation::DoStageDownloadAndAdd_Start()
{
    SetNextStage(StageDownloadAndAdd);
    const int count = m_files ? m_files->GetCount() : 0;
    if (count <= 0) {
        // Nothing added: nothing to wait for either.
        SetNextStageCompleted();
        return 0;
    }
    const int index = ++m_fileIndex;
    if (index >= count - 1) {
        if (m_syncList)
            SetNextStage(StageWait);
        else
            SetNextStageCompleted();
    }
    HRESULT hr = m_files->StartOperation(m_stageOperation, this, index);
    if (FAILED(hr)) {
        WriteLog("CWmpAddFilesOperation::DoStageDownloadAndAdd_Start: StartOperation failed %x", hr);
        RecordFailure(index, PlayerClient::FailedStageFetch);
        return hr;
    }
    if (CCoreOperationBase* fetch = m_stageOperation.data()) {
        if (fetch->IsInProgress())
            return 1;
        // Done before anyone listened: its result is here already.
        const int result = fetch->GetResult();
        return AfterFetch(result == 1 ? E_UNEXPECTED : result);
    }
    bool keep = false;
    hr = DoAddFile(m_files->GetFilePath(index), &keep);
    if (FAILED(hr)) {
        WriteLog("CWmpAddFilesOperation::DoStageDownloadAndAdd_Start: DoAddFile failed %x", hr);
        RecordFailure(index, PlayerClient::FailedStageAdd);
        return hr;
    }
    ++m_report.count;
    return 0;
}

int CWmpAddFilesOperation::AfterFetch(int code)
{
    const int index = m_fileIndex;
    if (code < 0) {
        WriteLog("CWmpAddFilesOperation::OnStageOperationCompleted: err=%x", code);
        RecordFailure(index, PlayerClient::FailedStageFetch);
        return code;
    }
    const QString path = m_files ? m_files->GetFilePath(index) : QString();
    bool keep = false;
    const HRESULT hr = DoAddFile(path, &keep);
    if (SUCCEEDED(hr)) {
        ++m_report.count;
        return 0;
    }
    WriteLog("CWmpAddFilesOperation::OnStageOperationCompleted: DoAddFile failed %x", hr);
    // The fetched copy is ours to delete unless the library refers to it.
    if (!keep && !path.isEmpty())
        QFile::remove(path);
    if (hr == SV_E_NO_CONTENT) {
        m_report.skipped.append(index);
        return 0;
    }
    RecordFailure(index, PlayerClient::FailedStageAdd);
    return hr;
}

void CWmpAddFilesOperation::OnStageOperationCompleted(int result)
{
    if (GetCurrentStage() == StageDownloadAndAdd)
        result = AfterFetch(result);
    CCoreOperationBase::OnStageOperationCompleted(result);
}

// ---- stage 2: local files, one per body step ------------------------------------------------------

int CWmpAddFilesOperation::DoStageAdd_Body()
{
    const int index = m_itemIndex;
    m_fileIndex = index;
    bool keep = false;
    const HRESULT hr = DoAddFile(m_files->GetFilePath(index), &keep);
    if (FAILED(hr)) {
        WriteLog("CWmpAddFilesOperation::DoStageAdd_Body: DoAddFile failed %x", hr);
        RecordFailure(index, PlayerClient::FailedStageAdd);
        return hr;
    }
    ++m_report.count;
    ++m_itemIndex;
    return m_itemIndex < m_itemCount ? 1 : 0;
}

// ---- one file -----------------------------------------------------------------------------------

HRESULT CWmpAddFilesOperation::DoAddFile(const QString& path, bool* keep)
{
    *keep = false;
    if (path.isEmpty()) {
        WriteLog("CWmpAddFilesOperation::DoAddFile: no filename");
        return E_INVALIDARG;
    }
    if (!FileExists(path)) {
        WriteLog("CWmpAddFilesOperation::DoAddFile: file doesn't exist[%ls]", qUtf16Printable(path));
        return E_FAIL;
    }
    CPlayerClientWMP* owner = m_owner.data();
    if (!owner || !m_mediaCollection) {
        WriteLog("CWmpAddFilesOperation::DoAddFile: no player");
        return SV_E_SHUT_DOWN;
    }
    const QString native = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());

    // A file the user already has in the library is never taken out again, whatever its tags say.
    CIUnknownPtr<IWMPPlaylist> known;
    HRESULT hr = m_mediaCollection->getByAttribute(QStringLiteral("SourceURL"), native, known.Out());
    qint32 knownCount = 0;
    if (SUCCEEDED(hr) && known)
        hr = known->get_count(&knownCount);
    if (FAILED(hr)) {
        WriteLog("CWmpAddFilesOperation::DoAddFile: getByAttribute failed %x", hr);
        return hr;
    }
    const bool existed = knownCount > 0;

    CIUnknownPtr<IWMPMedia> media;
    hr = m_mediaCollection->add(native, media.Out());
    if (SUCCEEDED(hr) && !media)
        hr = E_FAIL;
    if (FAILED(hr)) {
        WriteLog("CWmpAddFilesOperation::DoAddFile: add failed %x", hr);
        return hr;
    }
    // From here the library refers to the file.
    *keep = true;

    CFileMetadata fromPlayer;
    hr = CIPlayerClientWmpSongPrivImpl::GetSongMetadata(media.Get(), fromPlayer, owner->GetHelper());
    if (FAILED(hr)) {
        WriteLog("CWmpAddFilesOperation::DoStageAdd_Body: GetSongMetadata failed %x[%ls]", hr, qUtf16Printable(path));
        return hr;
    }
    CFileMetadata fromFile;
    hr = CCoreMediaHelper::GetFileMetadata(path, fromFile);
    if (FAILED(hr)) {
        WriteLog("CWmpAddFilesOperation::DoStageAdd_Body: GetFileMetadata failed %x[%ls]", hr, qUtf16Printable(path));
        return hr;
    }
    // Both sides trimmed, case still counts. The player names an untitled file after the file.
    QString fileTitle = fromFile.title.trimmed();
    if (fileTitle.isEmpty())
        fileTitle = QFileInfo(path).completeBaseName().trimmed();
    if (fromPlayer.album != fromFile.album.trimmed() || fromPlayer.artist != fromFile.artist.trimmed() ||
        fromPlayer.title != fileTitle) {
        WriteLog("CWmpAddFilesOperation::DoStageAdd_Body: Metadata form WMP is not equal to metadata form TagLib:");
        WriteLog("CWmpAddFilesOperation::DoStageAdd_Body: GetSongMetadata: a[%ls], al[%ls], t[%ls], f[%ls]",
                 qUtf16Printable(fromPlayer.artist), qUtf16Printable(fromPlayer.album),
                 qUtf16Printable(fromPlayer.title), qUtf16Printable(fromPlayer.filePath));
        WriteLog("CWmpAddFilesOperation::DoStageAdd_Body: GetFileMetadata: a[%ls], al[%ls], t[%ls], f[%ls]",
                 qUtf16Printable(fromFile.artist), qUtf16Printable(fromFile.album), qUtf16Printable(fromFile.title),
                 qUtf16Printable(fromFile.filePath));
        if (!existed) {
            // Out of the library only; the file stays on disk.
            hr = m_mediaCollection->remove(media.Get(), false);
            if (FAILED(hr))
                WriteLog("CWmpAddFilesOperation::DoStageAdd_Body: remove failed %x", hr);
            else
                *keep = false;
        }
        return SV_E_NO_CONTENT;
    }

    if (!m_libraryOnly) {
        hr = m_playlist->appendItem(media.Get());
        if (FAILED(hr)) {
            WriteLog("CWmpAddFilesOperation::DoStageAdd_Body: appendItem failed %x[%ls]", hr, qUtf16Printable(path));
            return hr;
        }
    }
    CIUnknownPtr<IPlayerClientWmpSongPriv> song;
    hr = CIPlayerClientWmpSongPrivImpl::CreateInstanceWithRawInteface(owner, media.Get(), song.Out());
    if (FAILED(hr)) {
        WriteLog("CWmpAddFilesOperation::DoStageAdd_Body: CreateInstanceWithRawInteface failed %x[%ls]", hr,
                 qUtf16Printable(path));
        return hr;
    }
    if (m_syncList) {
        hr = m_syncList->AddItem(song.Get());
        if (FAILED(hr)) {
            WriteLog("CWmpAddFilesOperation::DoStageAdd_Body: AddItem(s/l) failed %x[%ls]", hr, qUtf16Printable(path));
            return hr;
        }
    }
    m_added.append(CIUnknownPtr<IPlayerClientSong>(song.Get()));
    return S_OK;
}

void CWmpAddFilesOperation::EmitCompleted(int result)
{
    m_report.result = result;
    WriteLog("CWmpAddFilesOperation::NotifyCompleted: report: code=%x tot.cnt=%d", result, m_report.count);
    if (FAILED(result) && m_report.failed)
        WriteLog("CWmpAddFilesOperation::NotifyCompleted: report: at item idx=%d stg=%d", m_report.failedIndex,
                 m_report.failedStage);
    CPlayerClientAddFilesOperationBase::EmitCompleted(result);
}

// ---- the wrapper --------------------------------------------------------------------------------

CIPlayerClientWmpOperationAddFilesImpl::CIPlayerClientWmpOperationAddFilesImpl(CPlayerClientWMP* owner,
                                                                               CPlayerClientOperationObserver* observer)
    : CPlayerClientOperationWrapperBase(owner, observer)
{
}

HRESULT CIPlayerClientWmpOperationAddFilesImpl::CreateInstance(CPlayerClientWMP* owner, IWMPPlaylist* playlist,
                                                               bool libraryOnly,
                                                               CPlayerClientAddingFilesCollection* files,
                                                               CPlayerClientOperationObserver* observer,
                                                               IPlayerClientOperation** out)
{
    if (!out)
        return E_POINTER;
    if (*out) {
        (*out)->Release();
        *out = nullptr;
    }
    const char* missing = nullptr;
    if (!owner)
        missing = "owner";
    else if (!playlist)
        missing = "raw playlist";
    else if (!files)
        missing = "collection";
    else if (!observer)
        missing = "observer";
    if (missing) {
        WriteLog("CIPlayerClientWmpOperationAddFilesImpl::CreateInstance: no %s", missing);
        return E_INVALIDARG;
    }
    CIPlayerClientWmpOperationAddFilesObj* made = new CIPlayerClientWmpOperationAddFilesObj(owner, observer);
    const HRESULT hr = made->Initialize(owner, playlist, libraryOnly, files);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpOperationAddFilesImpl::CreateInstance: Initialize failed: %x", hr);
        made->Release();
        return hr;
    }
    // The first reference is the wrapper's own, dropped after completion; this one is the caller's.
    made->AddRef();
    *out = made;
    return S_OK;
}

HRESULT CIPlayerClientWmpOperationAddFilesImpl::Initialize(CPlayerClientWMP* owner, IWMPPlaylist* playlist,
                                                           bool libraryOnly, CPlayerClientAddingFilesCollection* files)
{
    HRESULT hr = CWmpAddFilesOperation::Start(m_operation, this, owner, playlist, libraryOnly, files);
    if (FAILED(hr)) {
        WriteLog("CIPlayerClientWmpOperationAddFilesImpl::Initialize: Start failed %x", hr);
        return hr;
    }
    CPlayerClientAddFilesOperationBase* operation = m_operation.data();
    if (!connect(operation, &CCoreOperationBase::WhenCompleted, this,
                 &CPlayerClientOperationWrapperBase::OnCompleted)) {
        WriteLog("CIPlayerClientWmpOperationAddFilesImpl::Initialize: connect(completed) failed");
        operation->Cancel();
        return E_FAIL;
    }
    if (!connect(operation, &CCoreOperationBase::WhenProgress, this, &CPlayerClientOperationWrapperBase::OnProgress)) {
        WriteLog("CIPlayerClientWmpOperationAddFilesImpl::Initialize: connect(progress) failed");
        operation->Cancel();
        return E_FAIL;
    }
    // A client destroyed mid-run must not be called back; the observer still hears the end once.
    connect(owner, &QObject::destroyed, this, &CIPlayerClientWmpOperationAddFilesImpl::OnOwnerDestroyed);
    m_owner->AddRunningOperation(this);
    m_running = true;
    return S_OK;
}

void CIPlayerClientWmpOperationAddFilesImpl::OnOwnerDestroyed()
{
    m_owner = nullptr;
    if (m_operation && m_operation->IsInProgress())
        m_operation->Stop(SV_E_SHUT_DOWN, true);
}
