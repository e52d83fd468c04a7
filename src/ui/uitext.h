#pragma once
// Widget texts of the toolkit: shown at once, and kept up to date with the interface language when
// there is an interface-language object.
#include "core/translatedstring.h"

class QObject;

void SetUiText(QObject* object, const char* property, const CTranslatedStringDesc& text);
