#pragma once
// The music list view: rows of CItem values in a virtual list, with an optional widget on top, a
// search field that filters the rows and a summary line below them.
#include <QList>
#include <QPointer>
#include <QString>
#include <QVector>

#include "core/translatedstring.h"
#include "ui/lists/item.h"
#include "ui/lists/virtuallistview.h"

class QLabel;
class QLineEdit;

namespace MusicLists {

class CItemTemplate;
class CViewFillerBase;

class CListView : public CVirtualListView
{
    Q_OBJECT
public:
    // Option bits.
    enum Option
    {
        OptionCheckBoxes = 0x1,  // rows of kinds 0..3 have a check box (property 11)
        OptionDirectStart = 0x8, // kept for the owner; the view draws nothing for it
        OptionNoSearch = 0x10,   // no search field
        OptionNoSyncStat = 0x20, // no sync-state button in the rows
        OptionNoExtra = 0x40     // no more-options button in the rows
    };

    CListView(QWidget* parent = nullptr, int options = 0);
    ~CListView() override;

    int GetOptions() const { return m_options; }

    // The owner's number for what the view lists.
    int GetViewKind() const { return m_viewKind; }
    void SetViewKind(int kind) { m_viewKind = kind; }

    // The filler that fills the view (guarded: cleared when the filler is destroyed). TakeFiller
    // hands it out and clears the field; the caller then owns it.
    CViewFillerBase* GetFiller() const;
    void SetFiller(CViewFillerBase* filler);
    CViewFillerBase* TakeFiller();

    // Rows. Clear keeps the filter, the texts, the top widget and the room reserved.
    void Clear();
    // Appends a copy of the row and returns its storage index.
    int AppendItem(const CItem& item);
    void ReserveItems(int count);
    int GetItemCount() const { return m_items.size(); }
    // The stored row with that id; false when there is none.
    bool GetItem(int id, CItem& item) const;
    // Replaces the stored row with that id; its flags become (old | new) & ~mask. False when absent.
    bool UpdateItem(int id, const CItem& item, int mask);
    // ORs the bits into the flags of every row of that kind; kind -2 means kinds 0..3.
    void SetItemFlags(int kind, int bits);

    // Rows on screen.
    bool GetFirstVisibleFlaggedItem(CItem& item);
    void GetVisibleItems(QList<CItem>& items);

    // Visible rows are the rows that pass the search filter, in display order.
    int GetVisibleRowCount() const { return m_rows.size(); }
    bool GetVisibleRowItem(int position, CItem& item) const;
    // The position of the row with that id among the visible rows (with songsOnly among those of
    // kinds 0..3), -1 when it is not there.
    int FindVisibleRow(int id, bool songsOnly) const;
    // A kind 1 row with that album as second text whose first listed artist (property 2) is artist.
    bool FindAlbumItem(const QString& album, const QString& artist, CItem& item) const;

    // The summary line: %n becomes the number of visible rows (special rows with negative ids not
    // counted), %1 the count text. The override texts are shown instead while not empty.
    void SetBriefTexts(const CTranslatedStringDesc& text, const CTranslatedStringDesc& countText);
    void SetOverrideBriefTexts(const CTranslatedStringDesc& text, const CTranslatedStringDesc& countText);
    // The summary as shown now.
    QString GetBriefText() const;

    // A widget above the search field; the view owns it and deletes the one it replaces.
    void SetTopFrameWidget(QWidget* widget);
    QWidget* GetTopFrameWidget() const { return m_topFrame; }

    void ClearFilter();
    QString GetFilterText() const;

    // Set whenever a row enters or leaves the visible rows.
    bool IsChanged() const { return m_changed; }
    void ResetChangedFlag() { m_changed = false; }

signals:
    void WhenItemClicked(const MusicLists::CItem& item);
    void WhenItemMenuActionClicked(const MusicLists::CItem& item);
    void WhenItemExtraClicked(const MusicLists::CItem& item);
    void WhenItemSyncStatClicked(const MusicLists::CItem& item);
    void WhenPendingInfoNeeded();

protected:
    int RowCount() const override { return m_rows.size(); }
    int RowWidgetKind(int row) const override;
    QWidget* CreateRowWidget(int kind) override;
    void BindRowWidget(QWidget* widget, int row) override;
    void OnRowsLaidOut() override;
    void changeEvent(QEvent* event) override;

private slots:
    void OnFilterEdited(const QString& text);

private:
    enum RowSignal
    {
        RowClicked,
        RowMenuAction,
        RowExtra,
        RowSyncStat
    };

    bool Passes(const CItem& item) const;
    void RebuildRows();
    void UpdateBrief();
    void EmitRowSignal(CItemTemplate* widget, RowSignal which);
    void OnRowChecked(CItemTemplate* widget, bool checked);
    int StorageIndexOf(const QWidget* widget) const;

    int m_options;
    int m_viewKind = 0;
    QPointer<QObject> m_filler;
    QVector<CItem> m_items;
    QHash<int, int> m_indexById;  // id -> storage index of the first row with that id
    QVector<int> m_rows;          // storage indexes of the visible rows
    QHash<const QWidget*, int> m_boundIndex;  // row widget -> storage index it draws
    int m_countedRows = 0;        // visible rows with an id of 0 or more
    int m_reserved = 0;
    QString m_filter;             // case-folded
    bool m_changed = false;
    CTranslatedStringDesc m_briefText;
    CTranslatedStringDesc m_briefCountText;
    CTranslatedStringDesc m_overrideText;
    CTranslatedStringDesc m_overrideCountText;
    QPointer<QWidget> m_topFrame;
    QLineEdit* m_search = nullptr;
    QLabel* m_brief = nullptr;
};

} // namespace MusicLists
