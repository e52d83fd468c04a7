#include "support/testmain.h"

#include "platform/win/classregistry.h"

namespace {

const CLSID ClsidThing(0x5D2C6E8Au, 0x0F1B, 0x4C3D, 0x9E, 0x7A, 0x2B, 0x4C, 0x6D, 0x8E, 0x0F, 0x11);
const IID IidThing(0x5D2C6E8Au, 0x0F1B, 0x4C3D, 0x9E, 0x7A, 0x2B, 0x4C, 0x6D, 0x8E, 0x0F, 0x12);
int s_thing = 0;

// Hands out s_thing for IidThing, leaves the out pointer alone otherwise.
HRESULT CreateThing(const IID& iid, void** object)
{
    if (iid != IidThing)
        return E_NOINTERFACE;
    *object = &s_thing;
    return S_OK;
}

} // namespace

class TestClassRegistry : public QObject
{
    Q_OBJECT
private slots:
    void registerCreateUnregister()
    {
        void* object = &object;
        QCOMPARE(ClassRegistry::CreateInstance(ClsidThing, IidThing, &object), REGDB_E_CLASSNOTREG);
        QVERIFY(!object);
        QCOMPARE(ClassRegistry::RegisterClassFactory(ClsidThing, CClassFactory()), E_INVALIDARG);
        QCOMPARE(ClassRegistry::RegisterClassFactory(ClsidThing, &CreateThing), S_OK);
        QCOMPARE(ClassRegistry::CreateInstance(ClsidThing, IidThing, &object), S_OK);
        QCOMPARE(object, static_cast<void*>(&s_thing));
        // On failure nothing is handed out, whatever the factory left behind.
        QCOMPARE(ClassRegistry::CreateInstance(ClsidThing, QUuid::createUuid(), &object), E_NOINTERFACE);
        QVERIFY(!object);

        // A later registration replaces the earlier one; a factory claiming success without an object is not believed.
        QCOMPARE(ClassRegistry::RegisterClassFactory(ClsidThing, [](const IID&, void**) { return S_OK; }), S_FALSE);
        object = &object;
        QCOMPARE(ClassRegistry::CreateInstance(ClsidThing, IidThing, &object), E_UNEXPECTED);
        QVERIFY(!object);
        QCOMPARE(ClassRegistry::UnregisterClassFactory(ClsidThing), S_OK);
        QCOMPARE(ClassRegistry::UnregisterClassFactory(ClsidThing), S_FALSE);
        QVERIFY(!ClassRegistry::IsClassRegistered(ClsidThing));
    }
};

SV_TEST_MAIN(TestClassRegistry)
#include "tst_classregistry.moc"
