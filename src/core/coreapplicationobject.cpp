#include "core/coreapplicationobject.h"

static CCoreApplicationObject* s_applicationObject = nullptr;

CCoreApplicationObject* GetCoreApplicationObject()
{
    return s_applicationObject;
}

CCoreApplicationObject** GetCoreApplicationObjectSlot()
{
    return &s_applicationObject;
}
