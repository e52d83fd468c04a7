#pragma once
// Reference counting of every object the program hands out through a COM-style interface: the
// count lives in WMDM::CIUnknownBase, WMDM::CIUnknownImpl<T> gives each interface of T its
// QueryInterface, AddRef and Release, and CIUnknownPtr<T> holds one reference.
#include <QAtomicInt>

#include "platform/com/combase.h"

namespace WMDM {

class CIUnknownBase
{
public:
    CIUnknownBase() = default;
    CIUnknownBase(const CIUnknownBase&) = delete;
    CIUnknownBase& operator=(const CIUnknownBase&) = delete;

    virtual ~CIUnknownBase();
    // The base knows no interface: 0x80004002 for every identifier.
    virtual HRESULT QueryInterface(const IID& iid, void** object);
    // Both return the new count; InternalRelease deletes the object when the count reaches 0.
    virtual int InternalAddRef();
    virtual int InternalRelease();

    int GetRefCount() const { return m_refCount.loadAcquire(); }
    // Logs every count change ("InternalAddRef: before %d", "InternalRelease: before %d").
    void SetTrace(bool trace) { m_trace = trace; }

private:
    QAtomicInt m_refCount{1};
    bool m_trace = false;
};

// T derives from CIUnknownBase and its interfaces and answers QueryInterface for them.
template <class T>
class CIUnknownImpl final : public T
{
public:
    using T::T;

    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        return T::QueryInterface(iid, object);
    }
    quint32 AddRef() override { return quint32(this->InternalAddRef()); }
    quint32 Release() override { return quint32(this->InternalRelease()); }
};

} // namespace WMDM

// Releases what p holds and leaves it null; p is cleared before the release, so that code the release
// runs never sees a dangling pointer.
template <class T>
void ReleaseAndClear(T*& p)
{
    if (T* old = p) {
        p = nullptr;
        old->Release();
    }
}

// Holds one reference to an interface.
template <class T>
class CIUnknownPtr
{
public:
    CIUnknownPtr() = default;
    // Adds a reference to p.
    CIUnknownPtr(T* p) : m_p(p)
    {
        if (m_p)
            m_p->AddRef();
    }
    CIUnknownPtr(const CIUnknownPtr& other) : CIUnknownPtr(other.m_p) {}
    CIUnknownPtr(CIUnknownPtr&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    ~CIUnknownPtr() { Reset(); }

    CIUnknownPtr& operator=(const CIUnknownPtr& other)
    {
        Assign(other.m_p);
        return *this;
    }
    CIUnknownPtr& operator=(CIUnknownPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_p = other.m_p;
            other.m_p = nullptr;
        }
        return *this;
    }
    CIUnknownPtr& operator=(T* p)
    {
        Assign(p);
        return *this;
    }

    // Releases and clears.
    void Reset()
    {
        T* old = m_p;
        m_p = nullptr;
        if (old)
            old->Release();
    }
    // Takes over a reference the caller owns (no AddRef).
    void Attach(T* p)
    {
        Reset();
        m_p = p;
    }
    // Gives the reference to the caller.
    T* Detach()
    {
        T* p = m_p;
        m_p = nullptr;
        return p;
    }
    // For out-parameters: releases what is held and hands out the slot.
    T** Out()
    {
        Reset();
        return &m_p;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    operator T*() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    void Assign(T* p)
    {
        if (p == m_p)
            return;
        if (p)
            p->AddRef();
        T* old = m_p;
        m_p = p;
        if (old)
            old->Release();
    }

    T* m_p = nullptr;
};
