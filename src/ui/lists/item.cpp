#include "ui/lists/item.h"

namespace MusicLists {

void CItem::SetText(const QString& text)
{
    m_text = text;
    m_sortText = text.toCaseFolded();
}

void CItem::SetSecondText(const QString& text)
{
    m_secondText = text;
    m_secondSortText = text.toCaseFolded();
}

void RegisterItemMetaType()
{
    static const int id = qRegisterMetaType<MusicLists::CItem>("MusicLists::CItem");
    Q_UNUSED(id);
}

} // namespace MusicLists
