#include "core/errormsghelper.h"

#include <QCoreApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QVector>

#include "core/log.h"
#include "core/resultcodes.h"

namespace {

struct CCodeText
{
    HRESULT code;
    const char* text;
};

const CCodeText s_table[] = {
    {SV_E_STORAGE_NOT_FOUND, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The folder could not be found.")},
    {SV_E_FILE_IN_THE_WAY, QT_TRANSLATE_NOOP("CErrorMsgHelper", "A file is in the way of a folder.")},
    {SV_E_NO_PC_PATH, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The song has no file on this computer.")},
    {SV_E_FILE_MISSING, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The song file is missing.")},
    {SV_E_NO_DEVICE_FILE_NAME, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The file on the device has no name.")},
    {SV_E_DEVICE_FILE_MISSING, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The file on the device is missing.")},
    {SV_E_FOLDER_IN_THE_WAY, QT_TRANSLATE_NOOP("CErrorMsgHelper", "A folder is in the way of a file.")},
    {SV_E_PLAYLIST_FILE_FAILED, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The playlist file could not be created.")},
    {SV_E_NO_DEVICE, QT_TRANSLATE_NOOP("CErrorMsgHelper", "No device is connected.")},
    {SV_E_DEVICE_CHANGED, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The device was disconnected or changed.")},
    {SV_E_CANCELLED, QT_TRANSLATE_NOOP("CErrorMsgHelper", "Canceled")},
    {SV_E_NO_STORAGE, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The device has no storage.")},
    {SV_E_NOT_ENOUGH_SPACE, QT_TRANSLATE_NOOP("CErrorMsgHelper", "There is not enough free space.")},
    {SV_E_PLAYER_NOT_RUNNING, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The player is not running.")},
    {SV_E_PLAYER_BUSY, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The player is busy. Please try again later.")},
    {SV_E_SHUT_DOWN, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The player has shut down.")},
    {SV_E_NO_PLAYER_OBJECT, QT_TRANSLATE_NOOP("CErrorMsgHelper", "No player is available.")},
    {SV_E_EMPTY_PLAYLIST, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The playlist is empty.")},
    {SV_E_PLAYLIST_CHANGED, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The playlist changed meanwhile. Please try again.")},
    {SV_E_OBJECT_SHUT_DOWN, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The player's library has shut down.")},
    {SV_E_NO_ACTIVE_PLAYER, QT_TRANSLATE_NOOP("CErrorMsgHelper", "No player is active.")},
    {SV_E_BLIP_NEVER_SIGNED_IN, QT_TRANSLATE_NOOP("CErrorMsgHelper", "You have not signed in to this network yet.")},
    {SV_E_BLIP_SIGNED_OUT, QT_TRANSLATE_NOOP("CErrorMsgHelper", "You are signed out of this network.")},
    {SV_E_SERVICE_REFUSED, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The service did not accept your credentials or data.")},
    {SV_E_NETWORK_FAILURE, QT_TRANSLATE_NOOP("CErrorMsgHelper", "A network error occurred.")},
    {SV_E_HTTP_STATUS, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The server answered with an error.")},
    {SV_E_BAD_ANSWER, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The server's answer could not be read.")},
    {SV_E_TIMED_OUT, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The server did not answer in time.")},
    {SV_E_SERVICE_ERROR, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The service reported an error.")},
    {SV_E_NO_INTERNET, QT_TRANSLATE_NOOP("CErrorMsgHelper", "There is no internet connection.")},
    {SV_E_EMPTY_SONG, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The song is empty.")},
    {SV_E_TITLE_OR_ARTIST_MISSING, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The song has no title or artist.")},
    {SV_E_NO_CONTENT, QT_TRANSLATE_NOOP("CErrorMsgHelper", "The content could not be found.")},
};

const char* const s_internalError = QT_TRANSLATE_NOOP("CErrorMsgHelper", "An internal error occurred! Please contact us.");
const char* const s_internalErrorWithCode =
    QT_TRANSLATE_NOOP("CErrorMsgHelper", "An internal error occurred (code %1)! Please contact us.");

QMutex s_hooksMutex;
QVector<CErrorMsgHelper::GetErrorMessageHook> s_hooks;  // guarded by s_hooksMutex, in install order

QString Translate(const char* text)
{
    return QCoreApplication::translate("CErrorMsgHelper", text);
}

} // namespace

bool CErrorMsgHelper::GetErrorMessage(int code, QString& text, int flags)
{
    text.clear();
    for (const CCodeText& entry : s_table) {
        if (entry.code == code) {
            text = Translate(entry.text);
            return true;
        }
    }
    QVector<GetErrorMessageHook> hooks;
    {
        QMutexLocker lock(&s_hooksMutex);
        hooks = s_hooks;
    }
    for (GetErrorMessageHook hook : hooks) {
        QString hookText;
        if (hook(code, hookText)) {
            text = hookText;
            return true;
        }
    }
    if (flags) {
        text = Translate(s_internalError);
        return true;
    }
    return false;
}

QString CErrorMsgHelper::ErrorMessage(int code)
{
    if (code >= 0)
        return QString();
    QString text;
    if (GetErrorMessage(code, text, 0))
        return text;
    return Translate(s_internalErrorWithCode)
        .arg(QStringLiteral("0x%1").arg(quint32(code), 8, 16, QLatin1Char('0')));
}

HRESULT CErrorMsgHelper::InstallGetErrorMessageHook(GetErrorMessageHook hook)
{
    if (!hook) {
        WriteLog("CErrorMsgHelper::InstallGetErrorMessageHook: no hook");
        return E_POINTER;
    }
    QMutexLocker lock(&s_hooksMutex);
    if (s_hooks.contains(hook)) {
        lock.unlock();
        WriteLog("CErrorMsgHelper::InstallGetErrorMessageHook: already installed");
        return S_FALSE;
    }
    if (s_hooks.size() >= MaxHooks) {
        const int count = s_hooks.size();
        lock.unlock();
        WriteLog("CErrorMsgHelper::InstallGetErrorMessageHook: too many hooks(%d)", count);
        return E_FAIL;
    }
    s_hooks.append(hook);
    return S_OK;
}
