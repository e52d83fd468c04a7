#include "ui/lists/virtuallistview.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace MusicLists {

namespace {

// Data changes are laid out at most this often, so a fast fill does not repaint on every row.
const qint64 kRefreshIntervalMs = 40;
// One wheel notch (120) scrolls three rows.
const int kWheelUnitsPerRow = 40;

} // namespace

CVirtualListView::CVirtualListView(QWidget* parent)
    : QFrame(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_header = new QVBoxLayout;
    m_header->setContentsMargins(0, 0, 0, 0);
    m_header->setSpacing(0);
    m_footer = new QVBoxLayout;
    m_footer->setContentsMargins(0, 0, 0, 0);
    m_footer->setSpacing(0);

    m_viewport = new QWidget(this);
    m_viewport->setObjectName(QStringLiteral("listViewport"));
    m_viewport->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_viewport->installEventFilter(this);
    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    m_scrollBar->setObjectName(QStringLiteral("listScrollBar"));
    m_scrollBar->setSingleStep(1);
    m_scrollBar->hide();
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &CVirtualListView::OnScrollBarMoved);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(m_viewport, 1);
    body->addWidget(m_scrollBar);

    layout->addLayout(m_header);
    layout->addLayout(body, 1);
    layout->addLayout(m_footer);

    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    connect(m_refreshTimer, &QTimer::timeout, this, &CVirtualListView::RefreshNow);
}

CVirtualListView::~CVirtualListView()
{
    // No layout may reach the subclass's rows while the widget is torn down.
    m_viewport->removeEventFilter(this);
}

void CVirtualListView::SetTopIndex(int row)
{
    m_top = qMax(0, row);
    RefreshNow();
}

QSize CVirtualListView::ItemWidgetSizeForKind(int kind) const
{
    if (m_viewport->width() <= 0)
        return QSize();
    const auto height = m_heights.constFind(kind);
    if (height != m_heights.constEnd())
        return QSize(m_viewport->width(), height.value());
    const QVector<QWidget*> widgets = m_pool.value(kind);
    if (widgets.isEmpty())
        return QSize();
    return QSize(m_viewport->width(), qMax(1, widgets.first()->sizeHint().height()));
}

int CVirtualListView::KindHeight(int kind)
{
    const auto known = m_heights.constFind(kind);
    if (known != m_heights.constEnd())
        return known.value();
    QVector<QWidget*>& widgets = m_pool[kind];
    if (widgets.isEmpty())
        MakeRowWidget(kind);
    const int height = qMax(1, widgets.first()->sizeHint().height());
    m_heights.insert(kind, height);
    return height;
}

QWidget* CVirtualListView::MakeRowWidget(int kind)
{
    QWidget* widget = CreateRowWidget(kind);
    widget->setParent(m_viewport);
    widget->hide();
    m_pool[kind].append(widget);
    return widget;
}

int CVirtualListView::GetRowWidgetCount() const
{
    int count = 0;
    for (const QVector<QWidget*>& widgets : m_pool)
        count += widgets.size();
    return count;
}

int CVirtualListView::MaxTopIndex()
{
    const int count = RowCount();
    const int room = m_viewport->height();
    int top = count;
    int used = 0;
    while (top > 0) {
        const int height = KindHeight(RowWidgetKind(top - 1));
        if (used + height > room)
            break;
        used += height;
        --top;
    }
    return qMin(top, qMax(0, count - 1));
}

void CVirtualListView::GetRowsOnScreen(int& first, int& count)
{
    first = 0;
    count = 0;
    const int rows = RowCount();
    const int room = m_viewport->height();
    if (!isVisible() || rows == 0 || room <= 0)
        return;
    first = qBound(0, m_top, MaxTopIndex());
    int y = 0;
    for (int row = first; row < rows && y < room; ++row) {
        y += KindHeight(RowWidgetKind(row));
        ++count;
    }
}

QList<QWidget*> CVirtualListView::GetShownRowWidgets() const
{
    QList<QWidget*> widgets;
    for (const CShown& shown : m_shown)
        widgets.append(shown.widget);
    return widgets;
}

void CVirtualListView::reloadSkin()
{
    m_heights.clear();
    RefreshNow();
}

void CVirtualListView::ScheduleRefresh()
{
    if (m_refreshTimer->isActive())
        return;
    const qint64 since = m_sinceRefresh.isValid() ? m_sinceRefresh.elapsed() : kRefreshIntervalMs;
    m_refreshTimer->start(since >= kRefreshIntervalMs ? 0 : int(kRefreshIntervalMs - since));
}

void CVirtualListView::RefreshNow()
{
    if (m_inRefresh)
        return;
    m_inRefresh = true;
    m_refreshTimer->stop();
    m_sinceRefresh.restart();

    const int maxTop = MaxTopIndex();
    m_top = qBound(0, m_top, maxTop);
    const int room = m_viewport->height();
    const bool scrolls = isVisible() && room > 0 && maxTop > 0;
    {
        const QSignalBlocker blocker(m_scrollBar);
        m_scrollBar->setRange(0, scrolls ? maxTop : 0);
        m_scrollBar->setValue(m_top);
    }
    if (m_scrollBar->isHidden() == scrolls)
        m_scrollBar->setVisible(scrolls);

    int first = 0;
    int count = 0;
    GetRowsOnScreen(first, count);
    m_scrollBar->setPageStep(qMax(1, count - 1));

    QHash<int, int> used;
    QVector<CShown> shown;
    shown.reserve(count);
    const int width = m_viewport->width();
    int y = 0;
    for (int row = first; row < first + count; ++row) {
        const int kind = RowWidgetKind(row);
        const int height = KindHeight(kind);
        const QVector<QWidget*>& widgets = m_pool[kind];
        int& next = used[kind];
        QWidget* widget = next < widgets.size() ? widgets.at(next) : MakeRowWidget(kind);
        ++next;
        widget->setGeometry(0, y, width, height);
        BindRowWidget(widget, row);
        if (widget->isHidden())
            widget->show();
        shown.append(CShown{row, widget});
        y += height;
    }
    for (auto pool = m_pool.begin(); pool != m_pool.end(); ++pool) {
        const int inUse = used.value(pool.key());
        for (int i = inUse; i < pool.value().size(); ++i) {
            if (!pool.value().at(i)->isHidden())
                pool.value().at(i)->hide();
        }
    }
    m_shown = shown;
    m_inRefresh = false;
    OnRowsLaidOut();
}

void CVirtualListView::RedrawRow(int row)
{
    for (const CShown& shown : qAsConst(m_shown)) {
        if (shown.row == row) {
            BindRowWidget(shown.widget, row);
            return;
        }
    }
}

int CVirtualListView::RowOfWidget(const QWidget* widget) const
{
    for (const CShown& shown : m_shown) {
        if (shown.widget == widget)
            return shown.row;
    }
    return -1;
}

bool CVirtualListView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_viewport) {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Show:
            RefreshNow();
            break;
        case QEvent::StyleChange:
            // A new style sheet may give the rows other heights.
            m_heights.clear();
            ScheduleRefresh();
            break;
        case QEvent::Wheel: {
            auto* wheel = static_cast<QWheelEvent*>(event);
            m_wheelRemainder += wheel->angleDelta().y();
            const int rows = m_wheelRemainder / kWheelUnitsPerRow;
            m_wheelRemainder -= rows * kWheelUnitsPerRow;
            if (rows != 0)
                SetTopIndex(m_top - rows);
            return true;
        }
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void CVirtualListView::OnScrollBarMoved(int value)
{
    if (value != m_top)
        SetTopIndex(value);
}

} // namespace MusicLists
