#pragma once
// Result codes in the 32-bit HRESULT form, interface identifiers, the IUnknown reference-counting
// contract and length-prefixed BSTR strings: the small part of COM that the program's objects use.
#include <QtGlobal>
#include <QUuid>

typedef qint32 HRESULT;

// 0 and positive values are success, negative values are failures.
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// Builds a code from its unsigned hexadecimal spelling.
constexpr HRESULT MakeHResult(quint32 value) { return static_cast<HRESULT>(value); }

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;

constexpr HRESULT E_NOTIMPL = MakeHResult(0x80004001u);            // not implemented
constexpr HRESULT E_NOINTERFACE = MakeHResult(0x80004002u);        // no such interface
constexpr HRESULT E_POINTER = MakeHResult(0x80004003u);            // null pointer
constexpr HRESULT E_FAIL = MakeHResult(0x80004005u);               // unspecified failure
constexpr HRESULT E_UNEXPECTED = MakeHResult(0x8000FFFFu);         // unexpected state
constexpr HRESULT E_OUTOFMEMORY = MakeHResult(0x8007000Eu);        // out of memory
constexpr HRESULT E_INVALIDARG = MakeHResult(0x800700A0u);         // bad argument
constexpr HRESULT RPC_E_CALL_REJECTED = MakeHResult(0x80010001u);  // a busy server rejected the call
constexpr HRESULT REGDB_E_CLASSNOTREG = MakeHResult(0x80040154u);  // class not registered

// Interface and class identifiers.
typedef QUuid IID;
typedef QUuid CLSID;

// {00000000-0000-0000-C000-000000000046}
constexpr IID IID_IUnknown(0x00000000u, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

// The root of every reference-counted interface. QueryInterface hands out one new reference
// (E_POINTER for a null out pointer, E_NOINTERFACE for an unknown identifier); an object deletes
// itself when Release brings its count to zero, so it is never deleted through this interface.
struct IUnknown
{
    virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
    virtual quint32 AddRef() = 0;
    virtual quint32 Release() = 0;

protected:
    ~IUnknown() = default;
};

// Length-prefixed, zero-terminated UTF-16 string; the receiver frees it with SysFreeString.
typedef char16_t* BSTR;

// A copy of the zero-terminated text; null for a null text or when memory runs out.
BSTR SysAllocString(const char16_t* text);
// A copy of length characters of text (zero-filled when text is null); null when memory runs out.
BSTR SysAllocStringLen(const char16_t* text, quint32 length);
// Frees a string of SysAllocString; null is ignored.
void SysFreeString(BSTR text);
// The number of characters, 0 for null.
quint32 SysStringLen(BSTR text);

// Per-thread initialisation of the object layer, as the main thread and worker threads that use
// reference-counted objects do first: 0 on the first call of a thread, S_FALSE when it was done
// already (each call is balanced by CoUninitialize).
HRESULT CoInitializeApartment();
void CoUninitialize();
