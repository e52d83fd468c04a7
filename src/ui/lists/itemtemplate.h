#pragma once
// The row widget of the music lists: named children that the skin addresses and that owners may hide,
// drawn from a row value by the list view (option rows by their template property).
#include <QFrame>

#include "ui/lists/item.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace MusicLists {

class CItemTemplate : public QFrame
{
    Q_OBJECT
public:
    CItemTemplate(QWidget* parent, int kind);
    ~CItemTemplate() override;

    int Kind() const { return m_kind; }

    // The child of that name ("check", "icon", "text", "middleText", "subtext", "controls", "extra",
    // "menuCheck", "menuAction", "syncStat"), null for another name.
    QWidget* GetChild(const QString& name) const;
    QCheckBox* CheckBox() const { return m_check; }
    QLabel* Icon() const { return m_icon; }
    QLabel* TextLabel() const { return m_text; }
    QLabel* MiddleTextLabel() const { return m_middleText; }
    QLabel* SubtextLabel() const { return m_subtext; }
    QFrame* Controls() const { return m_controls; }
    QPushButton* ExtraButton() const { return m_extra; }
    QCheckBox* MenuCheck() const { return m_menuCheck; }
    QPushButton* MenuAction() const { return m_menuAction; }
    QPushButton* SyncStatButton() const { return m_syncStat; }

    // Draws the row. listOptions are the owning list's option bits (0x1 check boxes, 0x20 no
    // sync-state button, 0x40 no more-options button).
    void SetItem(const CItem& item, int listOptions);

    // A property value as display text: a translatable descriptor is translated, anything else is
    // taken as text.
    static QString PropertyText(const QVariant& value);

signals:
    void WhenItemClicked();
    void WhenExtraClicked();
    void WhenSyncStatClicked();
    void WhenMenuActionClicked();
    void WhenCheckClicked(bool checked);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void DrawLibraryRow(const CItem& item, int listOptions);
    void DrawOptionRow(const CItem& item);
    void SetPicture(const QVariant& value);
    void SetSyncState(const CItem& item, bool shown);

    int m_kind;
    bool m_pressed = false;
    qint64 m_pictureKey = 0;
    QCheckBox* m_check = nullptr;
    QLabel* m_icon = nullptr;
    QLabel* m_text = nullptr;
    QLabel* m_middleText = nullptr;
    QLabel* m_subtext = nullptr;
    QFrame* m_controls = nullptr;
    QCheckBox* m_menuCheck = nullptr;
    QPushButton* m_menuAction = nullptr;
    QPushButton* m_syncStat = nullptr;
    QPushButton* m_extra = nullptr;
};

} // namespace MusicLists
