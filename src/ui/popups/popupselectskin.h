#pragma once
// The skin picker: a list of the skins with the current one ticked; a click reports the chosen skin id.
#include <QFrame>
#include <QString>

class QListWidget;
class QListWidgetItem;

class CPopupSelectSkin : public QFrame
{
    Q_OBJECT
public:
    // WhenSkinSelected(QString) is connected to the receiver's slot (SLOT text).
    CPopupSelectSkin(const QString& currentId, QObject* receiver, const char* slot);
    ~CPopupSelectSkin() override;

    QListWidget* List() const { return m_list; }

    // Called by the popup stack once the popup is on screen: the current skin scrolls into view.
    Q_INVOKABLE void HandleShown();

signals:
    void WhenSkinSelected(const QString& id);

private slots:
    void OnItemClicked(QListWidgetItem* item);

private:
    QListWidget* m_list;
    bool m_done = false;  // a skin was chosen: reported once
};
