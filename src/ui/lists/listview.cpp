#include "ui/lists/listview.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/lists/itemtemplate.h"
#include "ui/lists/viewfillerbase.h"

namespace MusicLists {

namespace {

const char* const kContext = "MusicLists::CListView";
const char* const kSearch = QT_TRANSLATE_NOOP("MusicLists::CListView", "Search");

bool IsLibraryKind(int kind)
{
    return kind >= KindSong && kind <= KindPlaylist;
}

} // namespace

CListView::CListView(QWidget* parent, int options)
    : CVirtualListView(parent)
    , m_options(options)
{
    RegisterItemMetaType();
    setObjectName(QStringLiteral("listView"));

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("search"));
    m_search->setClearButtonEnabled(true);
    m_search->setPlaceholderText(CTranslatedStringDesc(kSearch, kContext).Translate());
    m_search->setVisible(!(options & OptionNoSearch));
    connect(m_search, &QLineEdit::textChanged, this, &CListView::OnFilterEdited);
    HeaderLayout()->addWidget(m_search);

    m_brief = new QLabel(this);
    m_brief->setObjectName(QStringLiteral("briefText"));
    m_brief->hide();
    FooterLayout()->addWidget(m_brief);
}

CListView::~CListView() = default;

CViewFillerBase* CListView::GetFiller() const
{
    return static_cast<CViewFillerBase*>(m_filler.data());
}

void CListView::SetFiller(CViewFillerBase* filler)
{
    m_filler = filler;
}

CViewFillerBase* CListView::TakeFiller()
{
    CViewFillerBase* filler = GetFiller();
    m_filler.clear();
    return filler;
}

void CListView::Clear()
{
    if (!m_rows.isEmpty())
        m_changed = true;
    m_items.clear();
    m_indexById.clear();
    m_rows.clear();
    m_countedRows = 0;
    ReserveItems(m_reserved);
    SetTopIndex(0);
}

int CListView::AppendItem(const CItem& item)
{
    const int index = m_items.size();
    m_items.append(item);
    CItem& stored = m_items.last();
    stored.SetIndex(index);
    if (!m_indexById.contains(item.Id()))
        m_indexById.insert(item.Id(), index);
    if (Passes(stored)) {
        m_rows.append(index);
        if (item.Id() >= 0)
            ++m_countedRows;
        m_changed = true;
        ScheduleRefresh();
    }
    return index;
}

void CListView::ReserveItems(int count)
{
    if (count <= 0)
        return;
    m_reserved = count;
    m_items.reserve(count);
    m_rows.reserve(count);
    m_indexById.reserve(count);
}

bool CListView::GetItem(int id, CItem& item) const
{
    const int index = m_indexById.value(id, -1);
    if (index < 0)
        return false;
    item = m_items.at(index);
    return true;
}

bool CListView::UpdateItem(int id, const CItem& item, int mask)
{
    const int index = m_indexById.value(id, -1);
    if (index < 0)
        return false;
    CItem& stored = m_items[index];
    const bool passed = Passes(stored);
    const int oldFlags = stored.Flags();
    const int oldKind = stored.Kind();
    const int flags = (oldFlags | item.Flags()) & ~mask;
    stored = item;
    stored.SetIndex(index);
    stored.SetFlags(flags);

    if (item.Id() != id || item.Kind() != oldKind) {
        m_indexById.clear();
        for (int i = 0; i < m_items.size(); ++i) {
            if (!m_indexById.contains(m_items.at(i).Id()))
                m_indexById.insert(m_items.at(i).Id(), i);
        }
        RebuildRows();
    } else if (Passes(stored) != passed) {
        RebuildRows();
    } else if (passed) {
        const auto row = std::lower_bound(m_rows.constBegin(), m_rows.constEnd(), index);
        if (row != m_rows.constEnd() && *row == index)
            RedrawRow(int(row - m_rows.constBegin()));
    }
    if (flags & ~oldFlags)
        ScheduleRefresh();
    return true;
}

void CListView::SetItemFlags(int kind, int bits)
{
    bool raised = false;
    for (CItem& item : m_items) {
        const bool match = kind == -2 ? IsLibraryKind(item.Kind()) : item.Kind() == kind;
        if (match && (item.Flags() | bits) != item.Flags()) {
            item.AddFlags(bits);
            raised = true;
        }
    }
    if (raised)
        ScheduleRefresh();
}

bool CListView::GetFirstVisibleFlaggedItem(CItem& item)
{
    int first = 0;
    int count = 0;
    GetRowsOnScreen(first, count);
    for (int row = first; row < first + count; ++row) {
        const CItem& candidate = m_items.at(m_rows.at(row));
        if (candidate.Flags() != 0) {
            item = candidate;
            return true;
        }
    }
    return false;
}

void CListView::GetVisibleItems(QList<CItem>& items)
{
    items.clear();
    int first = 0;
    int count = 0;
    GetRowsOnScreen(first, count);
    for (int row = first; row < first + count; ++row)
        items.append(m_items.at(m_rows.at(row)));
}

bool CListView::GetVisibleRowItem(int position, CItem& item) const
{
    if (position < 0 || position >= m_rows.size())
        return false;
    item = m_items.at(m_rows.at(position));
    return true;
}

int CListView::FindVisibleRow(int id, bool songsOnly) const
{
    int position = 0;
    for (int index : m_rows) {
        const CItem& item = m_items.at(index);
        if (songsOnly && !IsLibraryKind(item.Kind()))
            continue;
        if (item.Id() == id)
            return position;
        ++position;
    }
    return -1;
}

bool CListView::FindAlbumItem(const QString& album, const QString& artist, CItem& item) const
{
    for (const CItem& candidate : m_items) {
        if (candidate.Kind() != KindAlbum || candidate.SecondText().compare(album, Qt::CaseInsensitive) != 0)
            continue;
        const QStringList artists = candidate.GetProperty(PropArtists).toStringList();
        if (!artists.isEmpty() && artists.first().compare(artist, Qt::CaseInsensitive) == 0) {
            item = candidate;
            return true;
        }
    }
    return false;
}

void CListView::SetBriefTexts(const CTranslatedStringDesc& text, const CTranslatedStringDesc& countText)
{
    m_briefText = text;
    m_briefCountText = countText;
    UpdateBrief();
}

void CListView::SetOverrideBriefTexts(const CTranslatedStringDesc& text, const CTranslatedStringDesc& countText)
{
    m_overrideText = text;
    m_overrideCountText = countText;
    UpdateBrief();
}

QString CListView::GetBriefText() const
{
    const bool override = !m_overrideText.IsEmpty();
    const CTranslatedStringDesc& text = override ? m_overrideText : m_briefText;
    if (text.IsEmpty())
        return QString();
    QString brief = text.FormatPlural(m_countedRows);
    if (brief.contains(QLatin1String("%1")))
        brief.replace(QLatin1String("%1"), (override ? m_overrideCountText : m_briefCountText).Translate());
    return brief;
}

void CListView::UpdateBrief()
{
    const QString brief = GetBriefText();
    m_brief->setText(brief);
    if (m_brief->isHidden() != brief.isEmpty())
        m_brief->setVisible(!brief.isEmpty());
}

void CListView::SetTopFrameWidget(QWidget* widget)
{
    if (m_topFrame == widget)
        return;
    if (m_topFrame) {
        HeaderLayout()->removeWidget(m_topFrame);
        m_topFrame->hide();
        m_topFrame->deleteLater();
    }
    m_topFrame = widget;
    if (widget) {
        widget->setParent(this);
        HeaderLayout()->insertWidget(0, widget);
        widget->show();
    }
}

void CListView::ClearFilter()
{
    m_search->clear();
    OnFilterEdited(QString());
}

QString CListView::GetFilterText() const
{
    return m_search->text().trimmed();
}

void CListView::OnFilterEdited(const QString& text)
{
    const QString filter = text.trimmed().toCaseFolded();
    if (filter == m_filter)
        return;
    m_filter = filter;
    RebuildRows();
    SetTopIndex(0);
}

bool CListView::Passes(const CItem& item) const
{
    // Special rows (negative ids: "All Songs", "Shuffle All Songs"...) act on the list and stay.
    if (m_filter.isEmpty() || item.Id() < 0)
        return true;
    if (item.SortText().contains(m_filter) || item.SecondSortText().contains(m_filter) ||
        item.ThirdText().contains(m_filter, Qt::CaseInsensitive))
        return true;
    return item.HasProperty(PropTitle) &&
           CItemTemplate::PropertyText(item.GetProperty(PropTitle)).contains(m_filter, Qt::CaseInsensitive);
}

void CListView::RebuildRows()
{
    QVector<int> rows;
    rows.reserve(m_filter.isEmpty() ? m_items.size() : 64);
    int counted = 0;
    for (int index = 0; index < m_items.size(); ++index) {
        const CItem& item = m_items.at(index);
        if (Passes(item)) {
            rows.append(index);
            if (item.Id() >= 0)
                ++counted;
        }
    }
    if (rows != m_rows)
        m_changed = true;
    m_rows.swap(rows);
    m_countedRows = counted;
    ScheduleRefresh();
}

int CListView::RowWidgetKind(int row) const
{
    return m_items.at(m_rows.at(row)).Kind();
}

QWidget* CListView::CreateRowWidget(int kind)
{
    auto* widget = new CItemTemplate(Viewport(), kind);
    connect(widget, &CItemTemplate::WhenItemClicked, this, [this, widget] { EmitRowSignal(widget, RowClicked); });
    connect(widget, &CItemTemplate::WhenMenuActionClicked, this,
            [this, widget] { EmitRowSignal(widget, RowMenuAction); });
    connect(widget, &CItemTemplate::WhenExtraClicked, this, [this, widget] { EmitRowSignal(widget, RowExtra); });
    connect(widget, &CItemTemplate::WhenSyncStatClicked, this,
            [this, widget] { EmitRowSignal(widget, RowSyncStat); });
    connect(widget, &CItemTemplate::WhenCheckClicked, this,
            [this, widget](bool checked) { OnRowChecked(widget, checked); });
    return widget;
}

void CListView::BindRowWidget(QWidget* widget, int row)
{
    const int index = m_rows.at(row);
    m_boundIndex.insert(widget, index);
    static_cast<CItemTemplate*>(widget)->SetItem(m_items.at(index), m_options);
}

void CListView::OnRowsLaidOut()
{
    UpdateBrief();
    CItem flagged;
    if (GetFirstVisibleFlaggedItem(flagged))
        emit WhenPendingInfoNeeded();
}

void CListView::changeEvent(QEvent* event)
{
    CVirtualListView::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        m_search->setPlaceholderText(CTranslatedStringDesc(kSearch, kContext).Translate());
        RebuildRows();
        RefreshNow();
    }
}

int CListView::StorageIndexOf(const QWidget* widget) const
{
    // The row the widget draws, even when a layout of changed rows is still due.
    if (RowOfWidget(widget) < 0)
        return -1;
    const int index = m_boundIndex.value(widget, -1);
    return index < m_items.size() ? index : -1;
}

void CListView::EmitRowSignal(CItemTemplate* widget, RowSignal which)
{
    const int index = StorageIndexOf(widget);
    if (index < 0)
        return;
    // A copy: the receiver may change the view.
    const CItem item = m_items.at(index);
    switch (which) {
    case RowClicked:
        emit WhenItemClicked(item);
        break;
    case RowMenuAction:
        emit WhenItemMenuActionClicked(item);
        break;
    case RowExtra:
        emit WhenItemExtraClicked(item);
        break;
    case RowSyncStat:
        emit WhenItemSyncStatClicked(item);
        break;
    }
}

void CListView::OnRowChecked(CItemTemplate* widget, bool checked)
{
    const int index = StorageIndexOf(widget);
    if (index >= 0)
        m_items[index].InsertProperty(PropCheckState, checked ? 1 : -1);
}

} // namespace MusicLists
