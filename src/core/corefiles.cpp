#include "core/corefiles.h"

#include <atomic>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/log.h"

QString GetDataDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Sonvero");
}

HRESULT MakeDataDirectory()
{
    const QString path = GetDataDirectory();
    if (!QDir().mkpath(path) || !QFileInfo(path).isDir())
        return E_FAIL;  // the log needs this folder, so the caller reports it
    return S_OK;
}

QString GetReportsDirectory()
{
    return GetDataDirectory() + QStringLiteral("/reports");
}

QString GetTempDirectory()
{
    return GetDataDirectory() + QStringLiteral("/temp");
}

HRESULT PrepareDataFolders()
{
    HRESULT hr = S_OK;
    const QString temp = GetTempDirectory();
    QDir tempDir(temp);
    if (tempDir.exists() && !tempDir.removeRecursively()) {
        WriteLog("PrepareDataFolders: could not empty [%ls] %x", qUtf16Printable(temp), E_FAIL);
        hr = E_FAIL;
    }
    if (!QDir().mkpath(temp)) {
        WriteLog("PrepareDataFolders: could not make [%ls] %x", qUtf16Printable(temp), E_FAIL);
        hr = E_FAIL;
    }
    const QString reports = GetReportsDirectory();
    if (!QDir().mkpath(reports)) {
        WriteLog("PrepareDataFolders: could not make [%ls] %x", qUtf16Printable(reports), E_FAIL);
        hr = E_FAIL;
    }
    return hr;
}

QString MakeTempFileName()
{
    static std::atomic<quint64> s_counter{0};
    const quint64 number = ++s_counter;
    return GetTempDirectory() + QStringLiteral("/sv%1.tmp").arg(number);
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

QString FileSuffix(const QString& path, bool withDot)
{
    const QString suffix = QFileInfo(path).suffix();
    if (withDot && !suffix.isEmpty())
        return QLatin1Char('.') + suffix;
    return suffix;
}

QString FileNameOfPath(const QString& path)
{
    return QFileInfo(path).fileName();
}
