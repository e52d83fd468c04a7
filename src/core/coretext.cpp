#include "core/coretext.h"

namespace CoreText {

CManager::CManager(QObject* parent)
    : QObject(parent)
{
}

} // namespace CoreText
