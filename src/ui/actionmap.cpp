#include "ui/actionmap.h"

#include <QAction>
#include <algorithm>

CActionMap::CActionMap() = default;

CActionMap::~CActionMap() = default;

QAction* CActionMap::AddAction(QObject* parent, int id)
{
    auto* action = new QAction(parent);
    action->setData(id);
    m_actions.insert(id, action);
    return action;
}

QAction* CActionMap::GetAction(int id) const
{
    return m_actions.value(id);
}

QList<QAction*> CActionMap::Actions() const
{
    QList<int> ids = m_actions.keys();
    std::sort(ids.begin(), ids.end());
    QList<QAction*> result;
    for (int id : ids) {
        if (QAction* action = m_actions.value(id))
            result.append(action);
    }
    return result;
}
