#include "platform/win/singleinstance.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>

#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QMessageLogContext>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>

namespace {

CSingleInstance* s_instance = nullptr;

// "SVMSG <id> <wParam> <lParam>\n"; anything longer is not ours.
constexpr int MaxMessageLength = 96;
constexpr int ConnectRetryMs = 50;

// The platform layer writes its lines through the toolkit's message output, which the log catches.
void LogLine(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const QString text = QString::vasprintf(format, args);
    va_end(args);
    qt_message_output(QtDebugMsg, QMessageLogContext(), text);
}

QString UserName()
{
    if (const passwd* entry = ::getpwuid(::geteuid())) {
        if (entry->pw_name && *entry->pw_name)
            return QString::fromLocal8Bit(entry->pw_name);
    }
    const QString fromEnvironment = qEnvironmentVariable("USER");
    return fromEnvironment.isEmpty() ? QString::number(::geteuid()) : fromEnvironment;
}

QString SafeNamePart(QString text)
{
    text.replace(QLatin1Char('/'), QLatin1Char('_'));
    return text.isEmpty() ? QStringLiteral("unknown") : text;
}

QString RuntimeDirectory()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

bool WriteAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::send(fd, data, size_t(left), MSG_NOSIGNAL);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

} // namespace

CSingleInstance::CSingleInstance(QObject* parent)
    : QObject(parent)
{
    // The signal's parameter types under the names it spells, for queued connections and spies.
    qRegisterMetaType<quint32>("quint32");
    qRegisterMetaType<qintptr>("qintptr");
    if (!s_instance)
        s_instance = this;
}

CSingleInstance::~CSingleInstance()
{
    Release();
    if (s_instance == this)
        s_instance = nullptr;
}

CSingleInstance* CSingleInstance::Instance()
{
    return s_instance;
}

QString CSingleInstance::InstanceName()
{
    return QStringLiteral("SonveroDesktopMutex.") + SafeNamePart(QSysInfo::machineHostName()) + QLatin1Char('.')
        + SafeNamePart(UserName());
}

QString CSingleInstance::LockFilePath()
{
    return RuntimeDirectory() + QLatin1Char('/') + InstanceName() + QStringLiteral(".lock");
}

QString CSingleInstance::ServerPath()
{
    const QString name = InstanceName() + QStringLiteral(".socket");
    const QString path = RuntimeDirectory() + QLatin1Char('/') + name;
    // A socket path must fit the address structure; a deep runtime folder falls back to the temporary one.
    if (QFile::encodeName(path).size() < qsizetype(sizeof(sockaddr_un::sun_path)))
        return path;
    return QDir::tempPath() + QLatin1Char('/') + name;
}

QString CSingleInstance::CommonMarkerDirectory()
{
    return QDir::tempPath() + QStringLiteral("/SonveroDesktop.common");
}

HRESULT CSingleInstance::Claim(int attempts, int intervalMs)
{
    if (m_owner)
        return S_OK;
    if (!m_lock) {
        m_lock = new QLockFile(LockFilePath());
        // A running copy holds the lock for days: only a dead owner makes it stale, never its age.
        m_lock->setStaleLockTime(0);
    }
    for (int attempt = 0; attempt < qMax(1, attempts); ++attempt) {
        if (attempt > 0 && intervalMs > 0)
            QThread::msleep(static_cast<unsigned long>(intervalMs));
        if (m_lock->tryLock(0)) {
            m_owner = true;
            break;
        }
        if (m_lock->error() != QLockFile::LockFailedError) {
            LogLine("CSingleInstance::Claim: can not make [%ls] (%d) %x", qUtf16Printable(LockFilePath()),
                    int(m_lock->error()), quint32(E_FAIL));
            return E_FAIL;
        }
    }
    if (!m_owner)
        return S_FALSE;

    // The common marker: one file per running copy in a folder every user can write to (sticky, so
    // that nobody removes another user's marker).
    const QString directory = CommonMarkerDirectory();
    if (!QFileInfo::exists(directory) && QDir().mkpath(directory))
        ::chmod(QFile::encodeName(directory).constData(), S_IRWXU | S_IRWXG | S_IRWXO | S_ISVTX);
    const QString marker = directory + QLatin1Char('/') + SafeNamePart(UserName()) + QLatin1Char('.')
        + QString::number(QCoreApplication::applicationPid());
    QFile file(marker);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(InstanceName().toUtf8() + '\n');
        m_markerPath = marker;
    } else {
        LogLine("CSingleInstance::Claim: marker [%ls] failed %x", qUtf16Printable(marker), quint32(E_FAIL));
    }
    return S_OK;
}

HRESULT CSingleInstance::Listen()
{
    if (!m_owner) {
        LogLine("CSingleInstance::Listen: not the owner %x", quint32(E_UNEXPECTED));
        return E_UNEXPECTED;
    }
    if (m_server)
        return S_OK;
    const QString path = ServerPath();
    // Holding the lock, any socket there was left by a copy that died.
    QLocalServer::removeServer(path);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path)) {
        LogLine("CSingleInstance::Listen: [%ls] %ls %x", qUtf16Printable(path), qUtf16Printable(server->errorString()),
                quint32(E_FAIL));
        delete server;
        return E_FAIL;
    }
    connect(server, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
    m_server = server;
    return S_OK;
}

void CSingleInstance::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, &CSingleInstance::OnSocketReadyRead);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void CSingleInstance::OnSocketReadyRead()
{
    auto* socket = qobject_cast<QLocalSocket*>(sender());
    if (!socket)
        return;
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine(MaxMessageLength + 1).trimmed();
        const QList<QByteArray> parts = line.split(' ');
        bool idOk = false, wOk = false, lOk = false;
        const quint32 id = parts.size() == 4 && parts.at(0) == "SVMSG" ? parts.at(1).toUInt(&idOk) : 0;
        const qintptr wParam = idOk ? qintptr(parts.at(2).toLongLong(&wOk)) : 0;
        const qintptr lParam = idOk ? qintptr(parts.at(3).toLongLong(&lOk)) : 0;
        if (!idOk || !wOk || !lOk || (id != BroadcastMessageId && id != CommonBroadcastMessageId)) {
            LogLine("CSingleInstance::OnSocketReadyRead: unknown message [%s]", line.left(MaxMessageLength).constData());
            continue;
        }
        emit WhenMessage(id, wParam, lParam);
    }
    if (socket->bytesAvailable() > MaxMessageLength) {
        LogLine("CSingleInstance::OnSocketReadyRead: message too long");
        socket->abort();
    }
}

HRESULT CSingleInstance::SendMessage(quint32 id, qintptr wParam, qintptr lParam, int timeoutMs)
{
    if (id != BroadcastMessageId && id != CommonBroadcastMessageId) {
        LogLine("CSingleInstance::SendMessage: unknown id %u %x", id, quint32(E_INVALIDARG));
        return E_INVALIDARG;
    }
    const QByteArray path = QFile::encodeName(ServerPath());
    sockaddr_un address;
    if (path.size() >= qsizetype(sizeof(address.sun_path))) {
        LogLine("CSingleInstance::SendMessage: path too long [%s] %x", path.constData(), quint32(E_INVALIDARG));
        return E_INVALIDARG;
    }
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const QByteArray message = "SVMSG " + QByteArray::number(id) + ' ' + QByteArray::number(qint64(wParam)) + ' '
        + QByteArray::number(qint64(lParam)) + '\n';

    // Plain sockets: a later copy sends before it has an application object or an event loop.
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            LogLine("CSingleInstance::SendMessage: socket failed (%d) %x", errno, quint32(E_FAIL));
            return E_FAIL;
        }
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
            const bool written = WriteAll(fd, message);
            ::close(fd);
            if (written)
                return S_OK;
            LogLine("CSingleInstance::SendMessage: write failed %x", quint32(E_FAIL));
            return E_FAIL;
        }
        ::close(fd);
        // The running copy may not listen yet: it takes the lock before it makes its application.
        if (timer.elapsed() >= timeoutMs) {
            LogLine("CSingleInstance::SendMessage: no running copy at [%s] %x", path.constData(), quint32(E_FAIL));
            return E_FAIL;
        }
        QThread::msleep(ConnectRetryMs);
    }
}

HRESULT CSingleInstance::SendCommonShutdown(int timeoutMs)
{
    return SendMessage(CommonBroadcastMessageId, 0, 0, timeoutMs);
}

void CSingleInstance::StopListening()
{
    if (m_server) {
        // Closing removes the socket file.
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
}

void CSingleInstance::Release()
{
    StopListening();
    if (!m_markerPath.isEmpty()) {
        QFile::remove(m_markerPath);
        m_markerPath.clear();
    }
    if (m_lock) {
        if (m_owner)
            m_lock->unlock();
        delete m_lock;
        m_lock = nullptr;
    }
    m_owner = false;
}
