#pragma once
// A scrolling list that makes row widgets only for the rows on screen and reuses them while it
// scrolls. Rows are scrolled by whole rows; the subclass supplies the rows and draws the widgets.
#include <QElapsedTimer>
#include <QFrame>
#include <QHash>
#include <QVector>

class QScrollBar;
class QTimer;
class QVBoxLayout;

namespace MusicLists {

class CVirtualListView : public QFrame
{
    Q_OBJECT
public:
    explicit CVirtualListView(QWidget* parent = nullptr);
    ~CVirtualListView() override;

    // Scrolls so that the row is the first on screen (kept within the rows that can be on top).
    void SetTopIndex(int row);
    int GetTopIndex() const { return m_top; }

    // The size of a row widget of that kind, empty while the view has made none of that kind.
    QSize ItemWidgetSizeForKind(int kind) const;

    // The rows on screen now: first row and count (0 when the view is hidden or has no room).
    void GetRowsOnScreen(int& first, int& count);

    // Row widgets made so far (all kinds), and those in use, top to bottom.
    int GetRowWidgetCount() const;
    QList<QWidget*> GetShownRowWidgets() const;

    // The area the rows are drawn in.
    QWidget* Viewport() const { return m_viewport; }

    // Re-measures the row heights and redraws every row (after a change of skin).
    Q_INVOKABLE void reloadSkin();

protected:
    // The rows: how many, the widget kind of each, a new widget of a kind, drawing a row into one.
    virtual int RowCount() const = 0;
    virtual int RowWidgetKind(int row) const = 0;
    virtual QWidget* CreateRowWidget(int kind) = 0;
    virtual void BindRowWidget(QWidget* widget, int row) = 0;
    // Runs after each layout of the rows on screen.
    virtual void OnRowsLaidOut() {}

    // Rows were added, removed or reordered: lay out soon (coalesced; at most every few frames).
    void ScheduleRefresh();
    // Lays out the rows on screen now.
    void RefreshNow();
    // Redraws the row if it has a widget now.
    void RedrawRow(int row);
    // The row a widget in use shows, -1 for another widget.
    int RowOfWidget(const QWidget* widget) const;

    // Layouts above and below the rows (search field, summary text...).
    QVBoxLayout* HeaderLayout() const { return m_header; }
    QVBoxLayout* FooterLayout() const { return m_footer; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void OnScrollBarMoved(int value);

private:
    int KindHeight(int kind);
    // A new row widget of that kind in the pool, hidden.
    QWidget* MakeRowWidget(int kind);
    int MaxTopIndex();

    struct CShown
    {
        int row;
        QWidget* widget;
    };

    QVBoxLayout* m_header = nullptr;
    QVBoxLayout* m_footer = nullptr;
    QWidget* m_viewport = nullptr;
    QScrollBar* m_scrollBar = nullptr;
    QTimer* m_refreshTimer = nullptr;
    QElapsedTimer m_sinceRefresh;
    int m_top = 0;
    int m_wheelRemainder = 0;
    bool m_inRefresh = false;
    QHash<int, int> m_heights;                // widget kind -> row height
    QHash<int, QVector<QWidget*>> m_pool;     // every widget made, by kind
    QVector<CShown> m_shown;                  // widgets in use, top to bottom
};

} // namespace MusicLists
