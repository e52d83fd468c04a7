#pragma once
// User texts for result codes: the program's own table first, then the installed hooks in order.
#include <QString>

#include "platform/com/combase.h"

class CErrorMsgHelper
{
public:
    // Turns a code into a user text; true when it knows the code.
    typedef bool (*GetErrorMessageHook)(int code, QString& text);

    enum
    {
        MaxHooks = 16
    };

    // The user text of a code from the table, then from the hooks. With non-zero flags the generic
    // internal-error text when none knows the code (true); otherwise false and an empty text.
    static bool GetErrorMessage(int code, QString& text, int flags);

    // Empty for codes of 0 and above; the known text of a failure code; else a generic text with
    // the code in hexadecimal.
    static QString ErrorMessage(int code);

    // Adds a hook after the installed ones: 0; S_FALSE when it is installed already (kept once);
    // E_POINTER for null; E_FAIL when 16 are held.
    static HRESULT InstallGetErrorMessageHook(GetErrorMessageHook hook);
};
