#pragma once
// Menu actions by id: each action is made under a parent and carries its id in its data.
#include <QHash>
#include <QList>
#include <QPointer>

class QAction;
class QObject;

class CActionMap
{
public:
    CActionMap();
    ~CActionMap();

    // Makes an action under the parent, stores id in its data and enters it under id (replacing an
    // earlier one); the caller sets its text and connects it.
    QAction* AddAction(QObject* parent, int id);
    // The action of an id; null when there is none (or it was deleted).
    QAction* GetAction(int id) const;
    QAction* operator[](int id) const { return GetAction(id); }
    // The living actions, in id order.
    QList<QAction*> Actions() const;

private:
    QHash<int, QPointer<QAction>> m_actions;
};
