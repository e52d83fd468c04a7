#include "ui/popups/popupselectskin.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "core/log.h"
#include "ui/popups/popupstack.h"
#include "ui/skin/skin.h"

CPopupSelectSkin::CPopupSelectSkin(const QString& currentId, QObject* receiver, const char* slot)
    : QFrame(nullptr), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("popupSelectSkin"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setFrameShape(QFrame::NoFrame);

    const QList<Skin::CSkinDesc> skins = Skin::instance()->GetSkins();
    for (const Skin::CSkinDesc& skin : skins) {
        auto* item = new QListWidgetItem(skin.name, m_list);
        item->setData(Qt::UserRole, skin.id);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(skin.id == currentId ? Qt::Checked : Qt::Unchecked);
        if (skin.id == currentId)
            m_list->setCurrentItem(item);
    }
    connect(m_list, &QListWidget::itemClicked, this, &CPopupSelectSkin::OnItemClicked);
    connect(m_list, &QListWidget::itemActivated, this, &CPopupSelectSkin::OnItemClicked);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);

    if (receiver && slot && !connect(this, SIGNAL(WhenSkinSelected(QString)), receiver, slot))
        WriteLog("CPopupSelectSkin::CPopupSelectSkin: failed to connect receiver");

    Skin::instance()->ApplyCss(this, Skin::CssPopupMenu);
    SetPopupFlags(this, PopupFramed | PopupCloseOnOutside | PopupCloseButton);
    SetPopupTitle(this, CTranslatedStringDesc("Select Skin", "CPopupSelectSkin"));
}

CPopupSelectSkin::~CPopupSelectSkin() = default;

void CPopupSelectSkin::HandleShown()
{
    if (QListWidgetItem* item = m_list->currentItem())
        m_list->scrollToItem(item, QAbstractItemView::PositionAtCenter);
}

void CPopupSelectSkin::OnItemClicked(QListWidgetItem* item)
{
    // Styles that activate on a single click report one click as both "clicked" and "activated".
    if (!item || m_done)
        return;
    m_done = true;
    const QString id = item->data(Qt::UserRole).toString();
    WriteLog("CPopupSelectSkin::OnItemClicked: id[%ls]", qUtf16Printable(id));
    close();
    emit WhenSkinSelected(id);
}
