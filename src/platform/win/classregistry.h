#pragma once
// The class registry: which COM-style classes this machine can create, by class id. A table in memory,
// empty until a component (a player or device stand-in) or a test registers a factory.
#include <functional>

#include "platform/com/combase.h"

// Makes a new object of the class and hands out the interface iid with one reference, as
// IUnknown::QueryInterface does (E_POINTER for a null out pointer, E_NOINTERFACE for an unknown id).
typedef std::function<HRESULT(const IID& iid, void** object)> CClassFactory;

namespace ClassRegistry {

// Registers the factory under clsid: 0; S_FALSE when it replaced an earlier one; E_INVALIDARG for a
// null id or an empty factory.
HRESULT RegisterClassFactory(const CLSID& clsid, const CClassFactory& factory);

// Removes the class: 0; S_FALSE when it was not registered.
HRESULT UnregisterClassFactory(const CLSID& clsid);

// Whether a factory is registered under clsid.
bool IsClassRegistered(const CLSID& clsid);

// Creates an object of the class: the factory's result; E_POINTER for a null out pointer,
// REGDB_E_CLASSNOTREG when no factory is registered. *object is null on every failure.
HRESULT CreateInstance(const CLSID& clsid, const IID& iid, void** object);

// Empties the table (tests).
void Clear();

} // namespace ClassRegistry
