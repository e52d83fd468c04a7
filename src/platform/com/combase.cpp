#include "platform/com/combase.h"

#include <cstdlib>
#include <cstring>

// Layout: a 32-bit character count, the characters, a terminating zero. The handle points at the
// first character so that it reads as a plain zero-terminated string.

BSTR SysAllocStringLen(const char16_t* text, quint32 length)
{
    const size_t bytes = sizeof(quint32) + (size_t(length) + 1) * sizeof(char16_t);
    void* block = std::malloc(bytes);
    if (!block)
        return nullptr;
    std::memcpy(block, &length, sizeof(quint32));
    char16_t* chars = reinterpret_cast<char16_t*>(static_cast<char*>(block) + sizeof(quint32));
    if (text)
        std::memcpy(chars, text, size_t(length) * sizeof(char16_t));
    else
        std::memset(chars, 0, size_t(length) * sizeof(char16_t));
    chars[length] = 0;
    return chars;
}

BSTR SysAllocString(const char16_t* text)
{
    if (!text)
        return nullptr;
    quint32 length = 0;
    while (text[length])
        ++length;
    return SysAllocStringLen(text, length);
}

void SysFreeString(BSTR text)
{
    if (text)
        std::free(reinterpret_cast<char*>(text) - sizeof(quint32));
}

quint32 SysStringLen(BSTR text)
{
    if (!text)
        return 0;
    quint32 length = 0;
    std::memcpy(&length, reinterpret_cast<const char*>(text) - sizeof(quint32), sizeof(quint32));
    return length;
}

namespace {
thread_local int t_initCount = 0;
}

HRESULT CoInitializeApartment()
{
    return t_initCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (t_initCount > 0)
        --t_initCount;
}
