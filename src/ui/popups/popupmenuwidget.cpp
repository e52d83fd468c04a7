#include "ui/popups/popupmenuwidget.h"

#include <QAction>
#include <QListWidget>
#include <QVBoxLayout>

#include "ui/popups/popupstack.h"
#include "ui/skin/skin.h"

namespace {

// Tallest menu before the list scrolls.
constexpr int kMaxListHeight = 400;

QString MenuText(QString text)
{
    // Mnemonic markers mean nothing in a list.
    text.replace(QLatin1String("&&"), QLatin1String("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

} // namespace

CPopupMenuWidget::CPopupMenuWidget(const QList<QAction*>& actions)
    : QFrame(nullptr), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("popupMenu"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setFrameShape(QFrame::NoFrame);

    for (QAction* action : actions) {
        if (!action || !action->isVisible())
            continue;
        auto* item = new QListWidgetItem(m_list);
        if (action->isSeparator()) {
            item->setFlags(Qt::NoItemFlags);
            item->setSizeHint(QSize(1, 5));
            item->setData(Qt::UserRole + 1, true);
        } else {
            item->setText(MenuText(action->text()));
            item->setIcon(action->icon());
            item->setToolTip(action->toolTip() != action->text() ? action->toolTip() : QString());
            if (action->isCheckable())
                item->setCheckState(action->isChecked() ? Qt::Checked : Qt::Unchecked);
            item->setFlags(action->isEnabled() ? (Qt::ItemIsEnabled | Qt::ItemIsSelectable) : Qt::NoItemFlags);
        }
        m_actions.append(action);
    }
    connect(m_list, &QListWidget::itemClicked, this, &CPopupMenuWidget::OnItemActivated);
    connect(m_list, &QListWidget::itemActivated, this, &CPopupMenuWidget::OnItemActivated);

    int height = 2 * m_list->frameWidth();
    for (int row = 0; row < m_list->count(); ++row)
        height += m_list->sizeHintForRow(row);
    m_list->setMinimumHeight(qMin(height, kMaxListHeight));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);

    Skin::instance()->ApplyCss(this, Skin::CssPopupMenu);
    SetPopupFlags(this, PopupFramed | PopupCloseOnOutside);
}

CPopupMenuWidget::~CPopupMenuWidget() = default;

void CPopupMenuWidget::OnItemActivated(QListWidgetItem* item)
{
    // Styles that activate on a single click report one click as both "clicked" and "activated".
    const int row = item && !m_done ? m_list->row(item) : -1;
    if (row < 0 || row >= m_actions.size() || !(item->flags() & Qt::ItemIsEnabled))
        return;
    m_done = true;
    QPointer<QAction> action = m_actions.at(row);
    // The menu goes first, so that whatever the action opens lies on top.
    close();
    if (action && action->isEnabled())
        action->trigger();
}
