#include "support/testmain.h"

#include <atomic>

#include "platform/win/classregistry.h"

namespace {

// {5D2C6E8A-0F1B-4C3D-9E7A-2B4C6D8E0F11}
const CLSID ClsidThing(0x5D2C6E8Au, 0x0F1B, 0x4C3D, 0x9E, 0x7A, 0x2B, 0x4C, 0x6D, 0x8E, 0x0F, 0x11);
// {5D2C6E8A-0F1B-4C3D-9E7A-2B4C6D8E0F12}
const IID IidThing(0x5D2C6E8Au, 0x0F1B, 0x4C3D, 0x9E, 0x7A, 0x2B, 0x4C, 0x6D, 0x8E, 0x0F, 0x12);

// A reference-counted object that deletes itself, as the registry's objects do.
class CThing final : public IUnknown
{
public:
    static std::atomic<int> s_alive;
    CThing() { ++s_alive; }

    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IidThing && iid != IID_IUnknown)
            return E_NOINTERFACE;
        *object = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    quint32 AddRef() override { return ++m_count; }
    quint32 Release() override
    {
        const quint32 count = --m_count;
        if (count == 0)
            delete this;
        return count;
    }

private:
    ~CThing() { --s_alive; }
    std::atomic<quint32> m_count{0};
};

std::atomic<int> CThing::s_alive{0};

HRESULT CreateThing(const IID& iid, void** object)
{
    auto* thing = new CThing;
    thing->AddRef();
    const HRESULT hr = thing->QueryInterface(iid, object);
    thing->Release();
    return hr;
}

} // namespace

class TestClassRegistry : public QObject
{
    Q_OBJECT
private slots:
    void init() { ClassRegistry::Clear(); }

    void emptyByDefault()
    {
        QVERIFY(!ClassRegistry::IsClassRegistered(ClsidThing));
        void* object = reinterpret_cast<void*>(quintptr(1));
        QCOMPARE(ClassRegistry::CreateInstance(ClsidThing, IidThing, &object), REGDB_E_CLASSNOTREG);
        QVERIFY(!object);
        QCOMPARE(ClassRegistry::CreateInstance(ClsidThing, IidThing, nullptr), E_POINTER);
    }

    void registerCreateUnregister()
    {
        QCOMPARE(ClassRegistry::RegisterClassFactory(ClsidThing, &CreateThing), S_OK);
        QVERIFY(ClassRegistry::IsClassRegistered(ClsidThing));

        void* object = nullptr;
        QCOMPARE(ClassRegistry::CreateInstance(ClsidThing, IidThing, &object), S_OK);
        QVERIFY(object);
        QCOMPARE(CThing::s_alive.load(), 1);
        QCOMPARE(static_cast<IUnknown*>(object)->Release(), 0u);
        QCOMPARE(CThing::s_alive.load(), 0);

        // An interface the class lacks: the factory's code, nothing handed out, nothing leaked.
        object = reinterpret_cast<void*>(quintptr(1));
        QCOMPARE(ClassRegistry::CreateInstance(ClsidThing, QUuid::createUuid(), &object), E_NOINTERFACE);
        QVERIFY(!object);
        QCOMPARE(CThing::s_alive.load(), 0);

        QCOMPARE(ClassRegistry::UnregisterClassFactory(ClsidThing), S_OK);
        QVERIFY(!ClassRegistry::IsClassRegistered(ClsidThing));
        QCOMPARE(ClassRegistry::UnregisterClassFactory(ClsidThing), S_FALSE);
    }

    void registrationRules()
    {
        QCOMPARE(ClassRegistry::RegisterClassFactory(QUuid(), &CreateThing), E_INVALIDARG);
        QCOMPARE(ClassRegistry::RegisterClassFactory(ClsidThing, CClassFactory()), E_INVALIDARG);
        QVERIFY(!ClassRegistry::IsClassRegistered(ClsidThing));

        // A later registration replaces the earlier one.
        QCOMPARE(ClassRegistry::RegisterClassFactory(ClsidThing, &CreateThing), S_OK);
        QCOMPARE(ClassRegistry::RegisterClassFactory(ClsidThing, [](const IID&, void**) { return E_OUTOFMEMORY; }),
                 S_FALSE);
        void* object = nullptr;
        QCOMPARE(ClassRegistry::CreateInstance(ClsidThing, IidThing, &object), E_OUTOFMEMORY);

        // A factory that claims success without an object is not believed.
        ClassRegistry::RegisterClassFactory(ClsidThing, [](const IID&, void**) { return S_OK; });
        QCOMPARE(ClassRegistry::CreateInstance(ClsidThing, IidThing, &object), E_UNEXPECTED);
        QVERIFY(!object);
    }
};

SV_TEST_MAIN(TestClassRegistry)
#include "tst_classregistry.moc"
