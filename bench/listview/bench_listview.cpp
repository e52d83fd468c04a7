// List view benchmark: appending and scrolling 50,000 rows, and filling them through a filler while
// a 5 ms probe timer measures how long the event loop stalls. One JSON line per measurement.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QVector>
#include <cstdio>

#include "ui/lists/listview.h"
#include "ui/lists/viewfillerbase.h"

using namespace MusicLists;

namespace {

CItem MakeSong(int id)
{
    CItem item(0, id);
    item.SetText(QStringLiteral("Artist %1").arg(id % 700));
    item.SetSecondText(QStringLiteral("Album %1").arg(id % 4000));
    item.SetThirdText(QStringLiteral("Song number %1").arg(id));
    item.SetPath(QStringLiteral("/music/%1.mp3").arg(id));
    return item;
}

void Print(const char* metric, double value, const char* unit, const QString& extra = QString())
{
    std::printf("{\"bench\":\"listview\",\"metric\":\"%s\",\"value\":%.3f,\"unit\":\"%s\"%s}\n", metric, value, unit,
                qPrintable(extra));
    std::fflush(stdout);
}

// Fills rows prepared up front, one per step, as the library fillers do.
class CBenchFiller : public CViewFillerBase
{
public:
    CBenchFiller(CListView* view, const QVector<CItem>* rows) : CViewFillerBase(view, view), m_rows(rows) {}

protected:
    void DoStart() override
    {
        CViewFillerBase::DoStart();
        m_itemCount = m_rows->size();
        m_view->ReserveItems(m_itemCount);
        m_view->SetOverrideBriefTexts(CTranslatedStringDesc(QStringLiteral("Loading %n of %1 songs")),
                                      CTranslatedStringDesc(QString::number(m_itemCount)));
    }
    int DoTick() override
    {
        if (m_itemIndex >= m_itemCount)
            return 0;
        AddItemToView(m_itemIndex++);
        return 1;
    }
    void AddItemToView(int index) override { m_view->AppendItem(m_rows->at(index)); }
    void DoComplete() override { m_view->SetOverrideBriefTexts(CTranslatedStringDesc(), CTranslatedStringDesc()); }

private:
    const QVector<CItem>* m_rows;
};

struct CFillResult
{
    int rows = 0;
    int ticks = 0;
    double ms = 0;
    qint64 longestStallMs = 0;
};

// Fills a shown view with the rows and measures the time and the longest gap of a 5 ms probe timer.
CFillResult Fill(const QVector<CItem>& rows)
{
    CListView view(nullptr, 0);
    view.SetBriefTexts(CTranslatedStringDesc(QStringLiteral("%n songs")), CTranslatedStringDesc());
    view.resize(480, 640);
    view.show();
    QApplication::processEvents();

    CBenchFiller filler(&view, &rows);
    QElapsedTimer sinceProbe;
    qint64 longest = 0;
    QTimer probe;
    probe.setInterval(5);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longest = qMax(longest, sinceProbe.restart());
    });

    QElapsedTimer clock;
    clock.start();
    sinceProbe.start();
    probe.start();
    filler.Start();
    while (filler.GetState() != CViewFillerBase::StateComplete)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    CFillResult result;
    result.ms = clock.nsecsElapsed() / 1e6;
    result.rows = view.GetItemCount();
    result.ticks = filler.GetTicksRun();
    probe.stop();
    QApplication::processEvents();
    result.longestStallMs = longest;
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rowCount = 50000;
    QVector<CItem> rows;
    rows.reserve(rowCount);
    for (int id = 0; id < rowCount; ++id)
        rows.append(MakeSong(id));

    // Append: the view against a plain vector of the same rows.
    {
        QElapsedTimer clock;
        clock.start();
        QVector<CItem> plain;
        for (const CItem& row : rows)
            plain.append(row);
        const double baseline = clock.nsecsElapsed() / 1e6;

        CListView view(nullptr, 0);
        view.resize(480, 640);
        view.show();
        QApplication::processEvents();
        clock.restart();
        for (const CItem& row : rows)
            view.AppendItem(row);
        const double appendMs = clock.nsecsElapsed() / 1e6;
        QApplication::processEvents();
        const double shownMs = clock.nsecsElapsed() / 1e6;
        Print("append_50000_ms", appendMs, "ms",
              QStringLiteral(",\"baseline_vector_ms\":%1,\"ratio\":%2,\"until_shown_ms\":%3")
                  .arg(baseline, 0, 'f', 3)
                  .arg(baseline > 0 ? appendMs / baseline : 0.0, 0, 'f', 2)
                  .arg(shownMs, 0, 'f', 3));

        // Scroll from top to bottom a page at a time, painting every step.
        int first = 0;
        int onScreen = 0;
        view.SetTopIndex(0);
        view.GetRowsOnScreen(first, onScreen);
        const int page = qMax(1, onScreen - 1);
        int steps = 0;
        qint64 longestStepNs = 0;
        QElapsedTimer step;
        clock.restart();
        for (int top = 0;; top += page) {
            step.start();
            view.SetTopIndex(top);
            view.repaint();
            QApplication::processEvents();
            longestStepNs = qMax(longestStepNs, step.nsecsElapsed());
            ++steps;
            view.GetRowsOnScreen(first, onScreen);
            if (first + onScreen >= rowCount)
                break;
        }
        const double scrollMs = clock.nsecsElapsed() / 1e6;
        Print("scroll_50000_ms", scrollMs, "ms",
              QStringLiteral(",\"steps\":%1,\"longest_step_ms\":%2,\"row_widgets\":%3,\"rows_on_screen\":%4")
                  .arg(steps)
                  .arg(longestStepNs / 1e6, 0, 'f', 3)
                  .arg(view.GetRowWidgetCount())
                  .arg(onScreen));
    }

    // Filling through the filler: responsiveness and scaling against a tenth of the rows.
    // The best of three runs of each size, so that one slow run does not skew the ratio.
    const QVector<CItem> tenth = rows.mid(0, rowCount / 10);
    CFillResult small;
    CFillResult large;
    for (int run = 0; run < 3; ++run) {
        const CFillResult s = Fill(tenth);
        const CFillResult l = Fill(rows);
        if (run == 0 || s.ms < small.ms)
            small = s;
        if (run == 0 || l.ms < large.ms)
            large = l;
        large.longestStallMs = qMax(large.longestStallMs, l.longestStallMs);
    }
    Print("fill_5000_ms", small.ms, "ms", QStringLiteral(",\"rows\":%1,\"ticks\":%2").arg(small.rows).arg(small.ticks));
    Print("fill_50000_ms", large.ms, "ms", QStringLiteral(",\"rows\":%1,\"ticks\":%2").arg(large.rows).arg(large.ticks));
    // The probe fires every 5 ms, so 5 is the floor of this figure.
    Print("fill_longest_stall_ms", double(large.longestStallMs), "ms", QStringLiteral(",\"goal_max\":30"));
    Print("fill_ratio_50000_to_5000", small.ms > 0 ? large.ms / small.ms : 0.0, "ratio",
          QStringLiteral(",\"goal_max\":12"));
    return 0;
}
