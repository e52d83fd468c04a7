#include "core/log.h"

#include <cstdarg>
#include <cstdio>

#include <QDateTime>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>

#include "core/corefiles.h"

namespace {

QMutex s_mutex;
QFile* s_file = nullptr;  // guarded by s_mutex
QtMessageHandler s_previousHandler = nullptr;
bool s_handlerInstalled = false;

// A message raised while a line is being written (a warning of the file itself) is dropped
// instead of taking the lock a second time.
thread_local bool t_writing = false;

// Called with s_mutex held.
void CloseFile()
{
    if (!s_file)
        return;
    s_file->close();
    delete s_file;
    s_file = nullptr;
}

void LogMessageHandler(QtMsgType, const QMessageLogContext&, const QString& message)
{
    if (t_writing)
        return;
    t_writing = true;
    {
        QMutexLocker lock(&s_mutex);
        // The time is taken under the lock so that the lines of several threads stay in time order.
        QString line = QDateTime::currentDateTime().toString(QStringLiteral("yyyy.MM.dd hh:mm:ss.zzz"));
        line += QLatin1String(": ");
        line += message;
        line += QLatin1Char('\n');
        const QByteArray bytes = line.toUtf8();
        if (s_file) {
            s_file->write(bytes);
            s_file->flush();
        } else {
            std::fputs(bytes.constData(), stderr);
        }
    }
    t_writing = false;
}

} // namespace

void WriteLog(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const QString text = QString::vasprintf(format, args);
    va_end(args);
    DebugPrint(text);
}

void DebugPrint(const QString& text)
{
    // Straight to the installed handler under a category of our own: the filter rules of the
    // environment (which apply to the default category) must not silence the program's log.
    static const QMessageLogContext s_context(nullptr, 0, nullptr, "sonvero");
    qt_message_output(QtDebugMsg, s_context, text);
}

QString GetLogFilePath()
{
    return GetDataDirectory() + QStringLiteral("/sonvero.log");
}

HRESULT OpenLog()
{
    const QString path = GetLogFilePath();
    const QString previous = path + QStringLiteral(".1");
    {
        QMutexLocker lock(&s_mutex);
        CloseFile();
        // One generation of the previous run is kept so that a crash can still be reported.
        if (QFile::exists(path)) {
            QFile::remove(previous);
            if (!QFile::rename(path, previous))
                QFile::remove(path);
        }
        auto* file = new QFile(path);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            const QString error = file->errorString();
            delete file;
            lock.unlock();
            WriteLog("OpenLog: can not open [%ls] %ls %x", qUtf16Printable(path), qUtf16Printable(error), E_FAIL);
            return E_FAIL;
        }
        file->write("\xEF\xBB\xBF", 3);
        file->flush();
        s_file = file;
    }
    if (!s_handlerInstalled) {
        s_previousHandler = qInstallMessageHandler(LogMessageHandler);
        s_handlerInstalled = true;
    }
    return S_OK;
}

void CloseLog()
{
    if (s_handlerInstalled) {
        qInstallMessageHandler(s_previousHandler);
        s_previousHandler = nullptr;
        s_handlerInstalled = false;
    }
    QMutexLocker lock(&s_mutex);
    CloseFile();
}

CStopwatch::CStopwatch(const QString& name)
    : m_name(name)
{
    m_timer.start();
}

CStopwatch::~CStopwatch()
{
    DebugPrint(QStringLiteral("%1[TIME]=%2ms").arg(m_name).arg(m_timer.elapsed()));
}
