#include "support/testmain.h"

#include "players/iunknownbase.h"

namespace {

constexpr IID IID_ITestFace(0x0B7A0C11u, 0x2C3D, 0x4E5F, 0x80, 0x91, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7);
constexpr IID IID_IOtherFace(0x1C8B1D22u, 0x3D4E, 0x4F60, 0x91, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7, 0x08);

struct ITestFace : IUnknown
{
    virtual int Value() = 0;
};

struct IOtherFace : IUnknown
{
    virtual int Other() = 0;
};

// An object with two interfaces; it tells the test when it is destroyed.
class CTestObject : public WMDM::CIUnknownBase, public ITestFace, public IOtherFace
{
public:
    explicit CTestObject(int* alive) : m_alive(alive) { ++*m_alive; }
    ~CTestObject() override { --*m_alive; }

    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_ITestFace)
            *object = static_cast<ITestFace*>(this);
        else if (iid == IID_IOtherFace)
            *object = static_cast<IOtherFace*>(this);
        else
            return WMDM::CIUnknownBase::QueryInterface(iid, object);
        InternalAddRef();
        return S_OK;
    }
    int Value() override { return 42; }
    int Other() override { return 7; }

private:
    int* m_alive;
};
typedef WMDM::CIUnknownImpl<CTestObject> CTestObjectImpl;

} // namespace

class TestIUnknown : public QObject
{
    Q_OBJECT
private slots:
    void countsAndQueryInterface()
    {
        int alive = 0;
        CTestObjectImpl* object = new CTestObjectImpl(&alive);
        QCOMPARE(object->GetRefCount(), 1);
        ITestFace* face = object;
        IOtherFace* other = object;
        // Every interface shares the one count.
        QCOMPARE(face->AddRef(), 2u);
        QCOMPARE(other->Release(), 1u);

        QCOMPARE(face->QueryInterface(IID_ITestFace, nullptr), E_POINTER);
        void* found = reinterpret_cast<void*>(1);
        QCOMPARE(face->QueryInterface(QUuid::createUuid(), &found), E_NOINTERFACE);
        QVERIFY(!found);
        QCOMPARE(object->GetRefCount(), 1);
        QCOMPARE(face->QueryInterface(IID_IOtherFace, &found), S_OK);
        QCOMPARE(static_cast<IOtherFace*>(found)->Other(), 7);
        QCOMPARE(object->GetRefCount(), 2);
        static_cast<IOtherFace*>(found)->Release();
        QCOMPARE(face->QueryInterface(IID_IUnknown, &found), S_OK);
        QCOMPARE(static_cast<ITestFace*>(found)->Value(), 42);
        // The base alone knows no interface.
        WMDM::CIUnknownBase plain;
        QCOMPARE(plain.QueryInterface(IID_IUnknown, &found), E_NOINTERFACE);

        object->SetTrace(true);
        QTest::ignoreMessage(QtDebugMsg, "InternalRelease: before 2\n");
        face->Release();
        QCOMPARE(alive, 1);
        QTest::ignoreMessage(QtDebugMsg, "InternalRelease: before 1\n");
        face->Release();
        QCOMPARE(alive, 0);
    }

    void holder()
    {
        int alive = 0;
        CTestObjectImpl* object = new CTestObjectImpl(&alive);
        ITestFace* face = object;
        {
            CIUnknownPtr<ITestFace> a(face);
            CIUnknownPtr<ITestFace> b(a);
            b = b;
            CIUnknownPtr<ITestFace> moved(std::move(b));
            QVERIFY(!b);
            QCOMPARE(object->GetRefCount(), 3);
            // Out() lets go of what it held before handing out the slot.
            face->AddRef();
            *moved.Out() = face;
            QCOMPARE(object->GetRefCount(), 3);
            // Detach and Attach move ownership; Attach lets go of what was held before.
            moved.Attach(moved.Detach());
            QCOMPARE(object->GetRefCount(), 3);
            face->AddRef();
            a.Attach(face);
            QCOMPARE(object->GetRefCount(), 3);
        }
        QCOMPARE(object->GetRefCount(), 1);
        face->Release();
        QCOMPARE(alive, 0);
    }
};

SV_TEST_MAIN(TestIUnknown)
#include "tst_iunknown.moc"
