#pragma once
// A list-style popup menu over a set of actions: clicking a row closes the menu and triggers its action.
#include <QFrame>
#include <QList>
#include <QPointer>

class QAction;
class QListWidget;
class QListWidgetItem;

class CPopupMenuWidget : public QFrame
{
    Q_OBJECT
public:
    // Hidden actions are left out, separators become empty rows, disabled actions disabled rows.
    explicit CPopupMenuWidget(const QList<QAction*>& actions);
    ~CPopupMenuWidget() override;

    QListWidget* List() const { return m_list; }

private slots:
    void OnItemActivated(QListWidgetItem* item);

private:
    QListWidget* m_list;
    QList<QPointer<QAction>> m_actions;  // by row
    bool m_done = false;                 // a row was chosen: the menu acts once
};
