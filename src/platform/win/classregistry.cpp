#include "platform/win/classregistry.h"

#include <QHash>
#include <QMessageLogContext>
#include <QMutex>
#include <QMutexLocker>

namespace {

// Objects are created from any thread (the connection-test thread too).
QMutex s_mutex;

QHash<QUuid, CClassFactory>& Table()
{
    static QHash<QUuid, CClassFactory> table;
    return table;
}

void LogLine(const QString& text)
{
    qt_message_output(QtDebugMsg, QMessageLogContext(), text);
}

} // namespace

namespace ClassRegistry {

HRESULT RegisterClassFactory(const CLSID& clsid, const CClassFactory& factory)
{
    if (clsid.isNull() || !factory) {
        LogLine(QStringLiteral("ClassRegistry::RegisterClassFactory: invalid argument %1 %2")
                    .arg(clsid.toString())
                    .arg(quint32(E_INVALIDARG), 0, 16));
        return E_INVALIDARG;
    }
    QMutexLocker lock(&s_mutex);
    const bool replaced = Table().contains(clsid);
    Table().insert(clsid, factory);
    return replaced ? S_FALSE : S_OK;
}

HRESULT UnregisterClassFactory(const CLSID& clsid)
{
    QMutexLocker lock(&s_mutex);
    return Table().remove(clsid) > 0 ? S_OK : S_FALSE;
}

bool IsClassRegistered(const CLSID& clsid)
{
    QMutexLocker lock(&s_mutex);
    return Table().contains(clsid);
}

HRESULT CreateInstance(const CLSID& clsid, const IID& iid, void** object)
{
    if (!object) {
        LogLine(QStringLiteral("ClassRegistry::CreateInstance: class %1 no out pointer %2")
                    .arg(clsid.toString())
                    .arg(quint32(E_POINTER), 0, 16));
        return E_POINTER;
    }
    *object = nullptr;
    CClassFactory factory;
    {
        QMutexLocker lock(&s_mutex);
        factory = Table().value(clsid);
    }
    if (!factory) {
        LogLine(QStringLiteral("ClassRegistry::CreateInstance: class %1 not registered %2")
                    .arg(clsid.toString())
                    .arg(quint32(REGDB_E_CLASSNOTREG), 0, 16));
        return REGDB_E_CLASSNOTREG;
    }
    // The factory runs outside the lock: it may create further objects through the registry.
    HRESULT hr = factory(iid, object);
    if (SUCCEEDED(hr) && !*object)
        hr = E_UNEXPECTED;
    if (FAILED(hr)) {
        *object = nullptr;
        LogLine(QStringLiteral("ClassRegistry::CreateInstance: class %1 failed %2")
                    .arg(clsid.toString())
                    .arg(quint32(hr), 0, 16));
    }
    return hr;
}

void Clear()
{
    QMutexLocker lock(&s_mutex);
    Table().clear();
}

} // namespace ClassRegistry
