#include "support/testmain.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>

#include "ui/lists/itemtemplate.h"
#include "ui/lists/listview.h"

using namespace MusicLists;

namespace {

CItem Song(int id, const QString& artist = QStringLiteral("Artist"), int flags = 0)
{
    CItem item(KindSong, id);
    item.SetText(artist);
    item.SetSecondText(QStringLiteral("Album"));
    item.SetThirdText(QStringLiteral("Title %1").arg(id));
    item.SetFlags(flags);
    return item;
}

CItemTemplate* RowWidget(CListView& view, int position)
{
    return qobject_cast<CItemTemplate*>(view.GetShownRowWidgets().value(position));
}

void ShowView(CListView& view)
{
    view.resize(320, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTRY_VERIFY(view.Viewport()->height() > 100);
    view.SetTopIndex(view.GetTopIndex());
}

QList<int> VisibleIds(const CListView& view)
{
    QList<int> ids;
    CItem item;
    for (int i = 0; view.GetVisibleRowItem(i, item); ++i)
        ids << item.Id();
    return ids;
}

QLineEdit* Search(const CListView& view)
{
    return view.findChild<QLineEdit*>(QStringLiteral("search"));
}

} // namespace

class TestListView : public QObject
{
    Q_OBJECT

private slots:
    void onlyRowsOnScreenGetWidgetsAndScrollingReusesThem()
    {
        CListView view;
        view.ReserveItems(10000);
        for (int id = 0; id < 10000; ++id)
            view.AppendItem(Song(id));
        ShowView(view);
        int first = -1;
        int count = 0;
        view.GetRowsOnScreen(first, count);
        QCOMPARE(first, 0);
        QVERIFY(count > 3 && count < 60);
        QCOMPARE(view.GetShownRowWidgets().size(), count);
        const int made = view.GetRowWidgetCount();
        QVERIFY(made <= count + 1);

        for (int top : {57, 9000, 20000}) {
            view.SetTopIndex(top);
            view.GetRowsOnScreen(first, count);
            QCOMPARE(RowWidget(view, 0)->TextLabel()->text(), QStringLiteral("Title %1").arg(first));
            QCOMPARE(RowWidget(view, count - 1)->TextLabel()->text(), QStringLiteral("Title %1").arg(first + count - 1));
        }
        // Past the end the last row is the last one on screen.
        QCOMPARE(first + count, 10000);
        auto* bar = view.findChild<QScrollBar*>(QStringLiteral("listScrollBar"));
        QCOMPARE(bar->value(), first);
        bar->setValue(100);
        QCOMPARE(view.GetTopIndex(), 100);
        QWheelEvent down(QPointF(5, 5), view.Viewport()->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, -120),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.Viewport(), &down);
        QCOMPARE(view.GetTopIndex(), 103);
        QCOMPARE(view.GetRowWidgetCount(), made);
    }

    void updateItemMask()
    {
        // Flags become (old | new) less the mask: {old, new, mask, result}.
        const int cases[][4] = {{0x01, 0x04, 0, 0x05}, {0x85, 0x85, 0x80, 0x05}, {0x01, 0x40, 0x40, 0x01}};
        CListView view;
        for (int id = 0; id < 3; ++id)
            view.AppendItem(Song(id, QStringLiteral("Artist"), cases[id][0]));
        ShowView(view);
        for (int id = 0; id < 3; ++id) {
            CItem changed = Song(id, QStringLiteral("Artist"), cases[id][1]);
            changed.SetThirdText(QStringLiteral("Renamed %1").arg(id));
            QVERIFY(view.UpdateItem(id, changed, cases[id][2]));
            CItem stored;
            QVERIFY(view.GetItem(id, stored));
            QCOMPARE(stored.Flags(), cases[id][3]);
            QCOMPARE(RowWidget(view, id)->TextLabel()->text(), QStringLiteral("Renamed %1").arg(id));
        }
        QVERIFY(!view.UpdateItem(99, Song(99), 0));
    }

    void setItemFlagsByKind()
    {
        CListView view;
        for (int kind = 0; kind <= 8; ++kind)
            view.AppendItem(CItem(kind, kind));
        view.SetItemFlags(-2, 0x80);
        view.SetItemFlags(KindAlbum, 0x01);
        view.SetItemFlags(42, 0x02);
        const int expected[] = {0x80, 0x81, 0x80, 0x80, 0, 0, 0, 0, 0};
        for (int kind = 0; kind <= 8; ++kind) {
            CItem item;
            QVERIFY(view.GetItem(kind, item));
            QCOMPARE(item.Flags(), expected[kind]);
        }
    }

    void filter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("ids");
        QTest::newRow("nothing typed") << QString() << QList<int>{-4, 0, 1, 2, 5};
        QTest::newRow("title and artist, case ignored") << QStringLiteral("QUEEN") << QList<int>{-4, 0, 1};
        QTest::newRow("blanks around") << QStringLiteral("  innu ") << QList<int>{-4, 1};
        QTest::newRow("album text") << QStringLiteral("arriv") << QList<int>{-4, 2};
        QTest::newRow("option caption") << QStringLiteral("always") << QList<int>{-4, 5};
        QTest::newRow("no match") << QStringLiteral("zzz") << QList<int>{-4};
    }

    void filter()
    {
        QFETCH(QString, typed);
        QFETCH(QList<int>, ids);
        CListView view;
        view.AppendItem(CItem(KindShuffleAll, -4));  // special rows always stay
        CItem song = Song(0, QStringLiteral("Abba"));
        song.SetThirdText(QStringLiteral("Dancing Queen"));
        view.AppendItem(song);
        CItem other = Song(1, QStringLiteral("Queen"));
        other.SetSecondText(QStringLiteral("Innuendo"));
        view.AppendItem(other);
        CItem album(KindAlbum, 2);
        album.SetSecondText(QStringLiteral("Arrival"));
        view.AppendItem(album);
        CItem option(KindOption, 5);
        option.InsertProperty(PropTitle, CTranslatedStringDesc(QStringLiteral("Always on top")).ToVariant());
        view.AppendItem(option);
        ShowView(view);

        view.ResetChangedFlag();
        QTest::keyClicks(Search(view), typed);
        QCOMPARE(VisibleIds(view), ids);
        QCOMPARE(view.GetFilterText(), typed.trimmed());
        QCOMPARE(view.IsChanged(), ids.size() != 5);
        // Rows appended under a filter are filtered too.
        view.AppendItem(Song(7, QStringLiteral("Queen")));
        QCOMPARE(VisibleIds(view).contains(7), typed.isEmpty() || typed == QLatin1String("QUEEN"));

        view.ClearFilter();
        QVERIFY(Search(view)->text().isEmpty());
        QCOMPARE(VisibleIds(view), (QList<int>{-4, 0, 1, 2, 5, 7}));
    }

    void visibleAndFlaggedRows()
    {
        CListView view;
        view.AppendItem(CItem(KindShuffleAll, -4));
        for (int id = 0; id < 1000; ++id)
            view.AppendItem(Song(id));
        ShowView(view);
        int first = 0;
        int count = 0;
        view.GetRowsOnScreen(first, count);
        QList<CItem> items;
        view.GetVisibleItems(items);
        QCOMPARE(items.size(), count);
        QCOMPARE(items.first().Id(), -4);
        QCOMPARE(items.last().Id(), count - 2);

        CItem flagged;
        QVERIFY(!view.GetFirstVisibleFlaggedItem(flagged));
        view.UpdateItem(500, Song(500, QStringLiteral("Artist"), 0x80), 0);
        QVERIFY(!view.GetFirstVisibleFlaggedItem(flagged));  // not on screen
        view.UpdateItem(498, Song(498, QStringLiteral("Artist"), 0x01), 0);
        view.SetTopIndex(496);
        QVERIFY(view.GetFirstVisibleFlaggedItem(flagged));
        QCOMPARE(flagged.Id(), 498);

        // Positions among the visible rows, with and without the special row.
        QCOMPARE(view.FindVisibleRow(-4, false), 0);
        QCOMPARE(view.FindVisibleRow(-4, true), -1);
        QCOMPARE(view.FindVisibleRow(10, false), 11);
        QCOMPARE(view.FindVisibleRow(10, true), 10);
        QCOMPARE(view.FindVisibleRow(5000, false), -1);
        QTest::keyClicks(Search(view), QStringLiteral("title 99"));
        QCOMPARE(view.FindVisibleRow(990, true), 1);  // "Title 99" comes first
        QCOMPARE(view.FindVisibleRow(10, true), -1);

        view.hide();
        view.GetVisibleItems(items);
        QVERIFY(items.isEmpty());
        QVERIFY(!view.GetFirstVisibleFlaggedItem(flagged));
    }

    void findAlbumItem()
    {
        CListView view;
        auto add = [&view](int kind, int id, const QString& name, const QStringList& artists) {
            CItem item(kind, id);
            item.SetSecondText(name);
            item.InsertProperty(PropArtists, artists);
            view.AppendItem(item);
        };
        add(KindAlbum, 10, "Arrival", {"ABBA"});
        add(KindAlbum, 11, "Arrival", {"Other", "ABBA"});
        add(KindAlbum, 12, "Gold", {"Other", "ABBA"});
        add(KindSong, 14, "Single", {"ABBA"});
        CItem found;
        QVERIFY(view.FindAlbumItem("Arrival", "ABBA", found));
        QCOMPARE(found.Id(), 10);
        QVERIFY(view.FindAlbumItem("arrival", "other", found));
        QCOMPARE(found.Id(), 11);
        QVERIFY(!view.FindAlbumItem("Gold", "ABBA", found));  // the second artist is not enough
        QVERIFY(!view.FindAlbumItem("Single", "ABBA", found));  // song rows are not albums
    }

    void briefTextsAndTopFrame()
    {
        CListView view;
        QPointer<QLabel> header = new QLabel(QStringLiteral("header"));
        view.SetTopFrameWidget(header);
        view.AppendItem(CItem(KindShuffleAll, -4));
        for (int id = 0; id < 3; ++id)
            view.AppendItem(Song(id));
        ShowView(view);
        QVERIFY(header->geometry().bottom() <= view.Viewport()->geometry().top());
        view.SetTopFrameWidget(new QLabel(QStringLiteral("second")));
        QTRY_VERIFY(header.isNull());
        auto* brief = view.findChild<QLabel*>(QStringLiteral("briefText"));
        QVERIFY(brief->isHidden());

        view.SetBriefTexts(CTranslatedStringDesc("%n songs in %1", "Test"), CTranslatedStringDesc(QStringLiteral("Mix")));
        QCOMPARE(brief->text(), QStringLiteral("3 songs in Mix"));
        QVERIFY(brief->isVisible());
        view.SetOverrideBriefTexts(CTranslatedStringDesc(QStringLiteral("Loading %n of %1 songs")),
                                   CTranslatedStringDesc(QStringLiteral("10")));
        QCOMPARE(brief->text(), QStringLiteral("Loading 3 of 10 songs"));
        view.AppendItem(Song(3));
        QTRY_COMPARE(brief->text(), QStringLiteral("Loading 4 of 10 songs"));
        view.SetOverrideBriefTexts(CTranslatedStringDesc(), CTranslatedStringDesc());
        QCOMPARE(view.GetBriefText(), QStringLiteral("4 songs in Mix"));
        QTest::keyClicks(Search(view), QStringLiteral("title 3"));
        QTRY_COMPARE(brief->text(), QStringLiteral("1 songs in Mix"));
        view.SetBriefTexts(CTranslatedStringDesc(), CTranslatedStringDesc());
        QVERIFY(brief->isHidden());
    }

    void signalsOnClicks()
    {
        CListView view;
        view.AppendItem(Song(7));
        for (int id : {20, 21}) {
            CItem option(KindOption, id);
            option.InsertProperty(PropTemplate, TemplateAction);
            option.InsertProperty(PropTitle, QStringLiteral("Network %1").arg(id));
            option.InsertProperty(PropActionText, QStringLiteral("Connect"));
            option.InsertProperty(PropActionEnabled, id == 20);
            view.AppendItem(option);
        }
        for (int id = 100; id < 300; ++id)
            view.AppendItem(Song(id));
        QSignalSpy clicked(&view, &CListView::WhenItemClicked);
        QSignalSpy extra(&view, &CListView::WhenItemExtraClicked);
        QSignalSpy syncStat(&view, &CListView::WhenItemSyncStatClicked);
        QSignalSpy action(&view, &CListView::WhenItemMenuActionClicked);
        ShowView(view);

        auto idOf = [](const QSignalSpy& spy) { return qvariant_cast<CItem>(spy.last().at(0)).Id(); };
        QTest::mouseClick(RowWidget(view, 0), Qt::LeftButton);
        QCOMPARE(idOf(clicked), 7);
        QTest::mouseClick(RowWidget(view, 0)->ExtraButton(), Qt::LeftButton);
        QCOMPARE(idOf(extra), 7);
        QTest::mouseClick(RowWidget(view, 0)->SyncStatButton(), Qt::LeftButton);
        QCOMPARE(idOf(syncStat), 7);
        QTest::mouseClick(RowWidget(view, 1)->MenuAction(), Qt::LeftButton);
        QCOMPARE(idOf(action), 20);
        QTest::mouseClick(RowWidget(view, 2)->MenuAction(), Qt::LeftButton);  // disabled
        QCOMPARE(action.count(), 1);
        QCOMPARE(clicked.count(), 1);
        // After scrolling the same widgets report the rows they now show.
        view.SetTopIndex(50);
        QTest::mouseClick(RowWidget(view, 0), Qt::LeftButton);
        QCOMPARE(idOf(clicked), 147);
    }

    void changedFlagAndClear()
    {
        CListView view;
        QVERIFY(!view.IsChanged());
        view.AppendItem(Song(1));
        view.AppendItem(Song(2, QStringLiteral("Other")));
        QVERIFY(view.IsChanged());
        view.ResetChangedFlag();
        // Flags change no row's visibility.
        view.UpdateItem(1, Song(1, QStringLiteral("Artist"), 0x80), 0);
        view.SetItemFlags(-2, 0x01);
        Search(view)->setText(QStringLiteral("title"));  // both rows still pass
        QVERIFY(!view.IsChanged());
        Search(view)->setText(QStringLiteral("other"));
        QVERIFY(view.IsChanged());
        view.ResetChangedFlag();

        view.SetBriefTexts(CTranslatedStringDesc(QStringLiteral("%n rows")), CTranslatedStringDesc());
        view.Clear();
        QVERIFY(view.IsChanged());
        CItem gone;
        QVERIFY(!view.GetItem(1, gone));
        QCOMPARE(view.GetFilterText(), QStringLiteral("other"));
        QCOMPARE(view.GetBriefText(), QStringLiteral("0 rows"));
    }
};

SV_TEST_MAIN(TestListView)
#include "tst_listview.moc"
