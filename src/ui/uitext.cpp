#include "ui/uitext.h"

#include <QObject>
#include <QVariant>

void SetUiText(QObject* object, const char* property, const CTranslatedStringDesc& text)
{
    if (!object || !property)
        return;
    object->setProperty(property, text.Translate());
    SetTranslatedProperty(object, property, text);
}
