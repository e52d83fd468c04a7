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

CItem Song(int id, const QString& artist = QStringLiteral("Artist"), const QString& album = QStringLiteral("Album"))
{
    CItem item(KindSong, id);
    item.SetText(artist);
    item.SetSecondText(album);
    item.SetThirdText(QStringLiteral("Title %1").arg(id));
    return item;
}

CItem Row(int kind, int id, int flags = 0)
{
    CItem item(kind, id);
    item.SetText(QStringLiteral("Row %1").arg(id));
    item.SetFlags(flags);
    return item;
}

CItemTemplate* RowWidget(CListView& view, int position)
{
    return qobject_cast<CItemTemplate*>(view.GetShownRowWidgets().value(position));
}

void ShowView(CListView& view, int height = 400)
{
    view.resize(320, height);
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

} // namespace

class TestListView : public QObject
{
    Q_OBJECT

private slots:
    void onlyRowsOnScreenGetWidgetsAndScrollingReusesThem();
    void updateItemMask_data();
    void updateItemMask();
    void setItemFlagsByKind_data();
    void setItemFlagsByKind();
    void filter_data();
    void filter();
    void visibleAndFlaggedRows();
    void findAlbumItem_data();
    void findAlbumItem();
    void briefTexts();
    void signalsOnClicks();
    void changedFlagAndClear();
    void topFrameAndWidgetSizes();
};

void TestListView::onlyRowsOnScreenGetWidgetsAndScrollingReusesThem()
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

    QScrollBar* bar = view.findChild<QScrollBar*>(QStringLiteral("listScrollBar"));
    QVERIFY(bar && bar->isVisible());
    for (int top : {1, 57, 5000, 9000, 20000}) {
        view.SetTopIndex(top);
        view.GetRowsOnScreen(first, count);
        QCOMPARE(first, view.GetTopIndex());
        QCOMPARE(RowWidget(view, 0)->TextLabel()->text(), QStringLiteral("Title %1").arg(first));
        QCOMPARE(RowWidget(view, count - 1)->TextLabel()->text(), QStringLiteral("Title %1").arg(first + count - 1));
    }
    // Past the end the last row is the last one on screen.
    QCOMPARE(first + count, 10000);
    QCOMPARE(bar->value(), first);

    bar->setValue(100);
    QCOMPARE(view.GetTopIndex(), 100);
    QWheelEvent down(QPointF(5, 5), view.Viewport()->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.Viewport(), &down);
    QCOMPARE(view.GetTopIndex(), 103);
    QCOMPARE(view.GetRowWidgetCount(), made);
}

void TestListView::updateItemMask_data()
{
    QTest::addColumn<int>("oldFlags");
    QTest::addColumn<int>("newFlags");
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("expected");
    QTest::newRow("old and new are joined") << 0x01 << 0x04 << 0 << 0x05;
    QTest::newRow("mask clears an old bit") << 0x85 << 0x85 << 0x80 << 0x05;
    QTest::newRow("mask clears a new bit") << 0x01 << 0x40 << 0x40 << 0x01;
    QTest::newRow("only masked bits") << 0x05 << 0x00 << 0x05 << 0x00;
    QTest::newRow("mask of unset bits") << 0x02 << 0x00 << 0x80 << 0x02;
}

void TestListView::updateItemMask()
{
    QFETCH(int, oldFlags);
    QFETCH(int, newFlags);
    QFETCH(int, mask);
    QFETCH(int, expected);

    CListView view;
    view.AppendItem(Song(1));
    CItem row = Song(2);
    row.SetFlags(oldFlags);
    view.AppendItem(row);
    ShowView(view);

    CItem changed = Song(2);
    changed.SetThirdText(QStringLiteral("Renamed"));
    changed.InsertProperty(PropSyncState, 1);
    changed.SetFlags(newFlags);
    QVERIFY(view.UpdateItem(2, changed, mask));
    CItem stored;
    QVERIFY(view.GetItem(2, stored));
    QCOMPARE(stored.Flags(), expected);
    QCOMPARE(stored.Index(), 1);
    QCOMPARE(stored.GetProperty(PropSyncState).toInt(), 1);
    QCOMPARE(RowWidget(view, 1)->TextLabel()->text(), QStringLiteral("Renamed"));
    QVERIFY(!view.UpdateItem(99, changed, mask));
    QCOMPARE(view.GetItemCount(), 2);
}

void TestListView::setItemFlagsByKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<int>>("raisedKinds");
    QTest::newRow("-2 is kinds 0..3") << -2 << QList<int>{0, 1, 2, 3};
    QTest::newRow("albums only") << 1 << QList<int>{1};
    QTest::newRow("all songs row") << 6 << QList<int>{6};
    QTest::newRow("unknown kind") << 42 << QList<int>{};
}

void TestListView::setItemFlagsByKind()
{
    QFETCH(int, kind);
    QFETCH(QList<int>, raisedKinds);

    CListView view;
    for (int k = 0; k <= 8; ++k)
        view.AppendItem(Row(k, k, 0x01));
    view.SetItemFlags(kind, 0x80);
    for (int k = 0; k <= 8; ++k) {
        CItem item;
        QVERIFY(view.GetItem(k, item));
        QCOMPARE(item.Flags(), raisedKinds.contains(k) ? 0x81 : 0x01);
    }
}

void TestListView::filter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("ids");
    QTest::newRow("nothing typed") << QString() << QList<int>{-4, 0, 1, 2, 3, 5};
    QTest::newRow("title and artist") << QStringLiteral("queen") << QList<int>{-4, 0, 1};
    QTest::newRow("case ignored") << QStringLiteral("QUEEN") << QList<int>{-4, 0, 1};
    QTest::newRow("blanks around") << QStringLiteral("  innu ") << QList<int>{-4, 1};
    QTest::newRow("album text") << QStringLiteral("arriv") << QList<int>{-4, 2};
    QTest::newRow("playlist name") << QStringLiteral("trip") << QList<int>{-4, 3};
    QTest::newRow("option caption") << QStringLiteral("always") << QList<int>{-4, 5};
    QTest::newRow("no match") << QStringLiteral("zzz") << QList<int>{-4};
}

void TestListView::filter()
{
    QFETCH(QString, typed);
    QFETCH(QList<int>, ids);

    CListView view;
    CItem shuffle(KindShuffleAll, -4);
    shuffle.InsertProperty(PropTitle, CTranslatedStringDesc("Shuffle All Songs", "Test").ToVariant());
    view.AppendItem(shuffle);
    CItem song = Song(0, QStringLiteral("Abba"), QStringLiteral("Gold"));
    song.SetThirdText(QStringLiteral("Dancing Queen"));
    view.AppendItem(song);
    view.AppendItem(Song(1, QStringLiteral("Queen"), QStringLiteral("Innuendo")));
    CItem album(KindAlbum, 2);
    album.SetSecondText(QStringLiteral("Arrival"));
    view.AppendItem(album);
    CItem playlist(KindPlaylist, 3);
    playlist.SetThirdText(QStringLiteral("Road Trip"));
    view.AppendItem(playlist);
    CItem option(KindOption, 5);
    option.InsertProperty(PropTitle, CTranslatedStringDesc(QStringLiteral("Always on top")).ToVariant());
    view.AppendItem(option);
    ShowView(view);

    view.ResetChangedFlag();
    auto* search = view.findChild<QLineEdit*>(QStringLiteral("search"));
    QVERIFY(search && search->isVisible());
    QTest::keyClicks(search, typed);
    QCOMPARE(VisibleIds(view), ids);
    QCOMPARE(view.GetFilterText(), typed.trimmed());
    QCOMPARE(view.IsChanged(), ids.size() != 6);

    // Rows appended under a filter are filtered too.
    view.AppendItem(Song(7, QStringLiteral("Queen")));
    QCOMPARE(VisibleIds(view).contains(7), typed.trimmed().isEmpty() || typed.trimmed().compare("queen", Qt::CaseInsensitive) == 0);

    view.ClearFilter();
    QCOMPARE(view.GetFilterText(), QString());
    QVERIFY(search->text().isEmpty());
    QCOMPARE(VisibleIds(view), (QList<int>{-4, 0, 1, 2, 3, 5, 7}));
}

void TestListView::visibleAndFlaggedRows()
{
    CListView view;
    CItem shuffle(KindShuffleAll, -4);
    view.AppendItem(shuffle);
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
    CItem row = Song(500);
    row.SetFlags(0x80);
    view.UpdateItem(500, row, 0);
    QVERIFY(!view.GetFirstVisibleFlaggedItem(flagged));  // not on screen
    row = Song(498);
    row.SetFlags(0x01);
    view.UpdateItem(498, row, 0);
    view.SetTopIndex(496);
    QVERIFY(view.GetFirstVisibleFlaggedItem(flagged));
    QCOMPARE(flagged.Id(), 498);
    view.GetVisibleItems(items);
    QCOMPARE(items.first().Id(), 495);

    // Positions among the visible rows, with and without the special row.
    QCOMPARE(view.FindVisibleRow(-4, false), 0);
    QCOMPARE(view.FindVisibleRow(-4, true), -1);
    QCOMPARE(view.FindVisibleRow(10, false), 11);
    QCOMPARE(view.FindVisibleRow(10, true), 10);
    QCOMPARE(view.FindVisibleRow(5000, false), -1);
    QTest::keyClicks(view.findChild<QLineEdit*>(QStringLiteral("search")), QStringLiteral("title 99"));
    QCOMPARE(view.FindVisibleRow(990, true), 1);  // "Title 99" comes first
    QCOMPARE(view.FindVisibleRow(10, true), -1);

    view.hide();
    view.GetVisibleItems(items);
    QVERIFY(items.isEmpty());
    QVERIFY(!view.GetFirstVisibleFlaggedItem(flagged));
}

void TestListView::findAlbumItem_data()
{
    QTest::addColumn<QString>("album");
    QTest::addColumn<QString>("artist");
    QTest::addColumn<int>("id");
    QTest::newRow("first artist") << "Arrival" << "ABBA" << 10;
    QTest::newRow("case ignored") << "arrival" << "abba" << 10;
    QTest::newRow("same album, other artist first") << "Arrival" << "Other" << 11;
    QTest::newRow("second artist is not enough") << "Gold" << "ABBA" << -1;
    QTest::newRow("no artists yet") << "Empty" << "ABBA" << -1;
    QTest::newRow("song rows are not albums") << "Single" << "ABBA" << -1;
}

void TestListView::findAlbumItem()
{
    QFETCH(QString, album);
    QFETCH(QString, artist);
    QFETCH(int, id);

    CListView view;
    auto addAlbum = [&view](int kind, int rowId, const QString& name, const QStringList& artists) {
        CItem item(kind, rowId);
        item.SetSecondText(name);
        if (!artists.isEmpty())
            item.InsertProperty(PropArtists, artists);
        view.AppendItem(item);
    };
    addAlbum(KindAlbum, 10, "Arrival", {"ABBA"});
    addAlbum(KindAlbum, 11, "Arrival", {"Other", "ABBA"});
    addAlbum(KindAlbum, 12, "Gold", {"Other", "ABBA"});
    addAlbum(KindAlbum, 13, "Empty", {});
    addAlbum(KindSong, 14, "Single", {"ABBA"});

    CItem found;
    QCOMPARE(view.FindAlbumItem(album, artist, found), id >= 0);
    if (id >= 0)
        QCOMPARE(found.Id(), id);
}

void TestListView::briefTexts()
{
    CListView view;
    view.AppendItem(Row(KindShuffleAll, -4));
    for (int id = 0; id < 3; ++id)
        view.AppendItem(Song(id));
    ShowView(view);
    auto* brief = view.findChild<QLabel*>(QStringLiteral("briefText"));
    QVERIFY(brief && brief->isHidden());

    view.SetBriefTexts(CTranslatedStringDesc("%n songs in %1", "Test"), CTranslatedStringDesc(QStringLiteral("Mix")));
    QCOMPARE(view.GetBriefText(), QStringLiteral("3 songs in Mix"));
    QCOMPARE(brief->text(), QStringLiteral("3 songs in Mix"));
    QVERIFY(brief->isVisible());

    view.SetOverrideBriefTexts(CTranslatedStringDesc(QStringLiteral("Loading %n of %1 songs")),
                               CTranslatedStringDesc(QStringLiteral("10")));
    QCOMPARE(brief->text(), QStringLiteral("Loading 3 of 10 songs"));
    view.AppendItem(Song(3));
    QTRY_COMPARE(brief->text(), QStringLiteral("Loading 4 of 10 songs"));

    view.SetOverrideBriefTexts(CTranslatedStringDesc(), CTranslatedStringDesc());
    QCOMPARE(brief->text(), QStringLiteral("4 songs in Mix"));
    QTest::keyClicks(view.findChild<QLineEdit*>(QStringLiteral("search")), QStringLiteral("title 3"));
    QTRY_COMPARE(brief->text(), QStringLiteral("1 songs in Mix"));

    view.SetBriefTexts(CTranslatedStringDesc(), CTranslatedStringDesc());
    QVERIFY(brief->isHidden());
}

void TestListView::signalsOnClicks()
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
    QSignalSpy pending(&view, &CListView::WhenPendingInfoNeeded);
    ShowView(view);

    // Owners connect by signature text.
    for (const char* signal : {"WhenItemClicked(const MusicLists::CItem&)", "WhenItemMenuActionClicked(MusicLists::CItem)",
                               "WhenItemExtraClicked(const MusicLists::CItem&)",
                               "WhenItemSyncStatClicked(const MusicLists::CItem&)", "WhenPendingInfoNeeded()"})
        QVERIFY2(view.metaObject()->indexOfSignal(QMetaObject::normalizedSignature(signal)) >= 0, signal);

    auto idOf = [](const QSignalSpy& spy) { return qvariant_cast<CItem>(spy.last().at(0)).Id(); };
    QTest::mouseClick(RowWidget(view, 0), Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(idOf(clicked), 7);
    QTest::mouseClick(RowWidget(view, 0)->ExtraButton(), Qt::LeftButton);
    QCOMPARE(idOf(extra), 7);
    QTest::mouseClick(RowWidget(view, 0)->SyncStatButton(), Qt::LeftButton);
    QCOMPARE(idOf(syncStat), 7);
    QTest::mouseClick(RowWidget(view, 1)->MenuAction(), Qt::LeftButton);
    QCOMPARE(action.count(), 1);
    QCOMPARE(idOf(action), 20);
    QTest::mouseClick(RowWidget(view, 2)->MenuAction(), Qt::LeftButton);  // disabled
    QCOMPARE(action.count(), 1);
    QCOMPARE(clicked.count(), 1);

    // After scrolling the same widgets report the rows they now show.
    view.SetTopIndex(50);
    QTest::mouseClick(RowWidget(view, 0), Qt::LeftButton);
    QCOMPARE(idOf(clicked), 147);

    // Pending info is asked for only when flagged rows come on screen.
    QCOMPARE(pending.count(), 0);
    CItem row = Song(290);
    row.SetFlags(0x01);
    view.UpdateItem(290, row, 0);
    view.SetTopIndex(view.GetTopIndex());
    QCOMPARE(pending.count(), 0);
    view.SetTopIndex(view.FindVisibleRow(290, false) - 1);
    QVERIFY(pending.count() >= 1);
    pending.clear();
    view.SetTopIndex(0);
    view.SetItemFlags(-2, 0x80);
    QTRY_VERIFY(pending.count() >= 1);
}

void TestListView::changedFlagAndClear()
{
    CListView view;
    QVERIFY(!view.IsChanged());
    view.AppendItem(Song(1));
    view.AppendItem(Song(2, QStringLiteral("Other")));
    QVERIFY(view.IsChanged());
    view.ResetChangedFlag();

    CItem row = Song(1);
    row.SetFlags(0x80);
    view.UpdateItem(1, row, 0);
    view.SetItemFlags(-2, 0x01);
    QVERIFY(!view.IsChanged());

    auto* search = view.findChild<QLineEdit*>(QStringLiteral("search"));
    search->setText(QStringLiteral("title"));  // both rows still pass
    QVERIFY(!view.IsChanged());
    search->setText(QStringLiteral("other"));
    QVERIFY(view.IsChanged());
    view.ResetChangedFlag();

    view.SetBriefTexts(CTranslatedStringDesc(QStringLiteral("%n rows")), CTranslatedStringDesc());
    view.Clear();
    QVERIFY(view.IsChanged());
    QCOMPARE(view.GetItemCount(), 0);
    CItem gone;
    QVERIFY(!view.GetItem(1, gone));
    QCOMPARE(view.GetFilterText(), QStringLiteral("other"));
    QCOMPARE(view.GetBriefText(), QStringLiteral("0 rows"));
}

void TestListView::topFrameAndWidgetSizes()
{
    CListView view(nullptr, CListView::OptionNoSearch);
    QVERIFY(view.ItemWidgetSizeForKind(KindAlbum).isEmpty());
    QPointer<QLabel> header = new QLabel(QStringLiteral("header"));
    view.SetTopFrameWidget(header);
    QCOMPARE(header->parentWidget(), &view);
    CItem album(KindAlbum, 1);
    album.SetSecondText(QStringLiteral("Arrival"));
    view.AppendItem(album);
    ShowView(view);

    QVERIFY(view.findChild<QLineEdit*>(QStringLiteral("search"))->isHidden());
    QVERIFY(header->isVisible());
    QVERIFY(header->geometry().bottom() <= view.Viewport()->geometry().top());
    const QSize size = view.ItemWidgetSizeForKind(KindAlbum);
    QCOMPARE(size.width(), view.Viewport()->width());
    QVERIFY(size.height() > 0);
    QVERIFY(view.ItemWidgetSizeForKind(KindPlaylist).isEmpty());

    view.SetTopFrameWidget(new QLabel(QStringLiteral("second")));
    QTRY_VERIFY(header.isNull());
}

SV_TEST_MAIN(TestListView)
#include "tst_listview.moc"
