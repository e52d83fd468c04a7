#include "support/testmain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>

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
        int first = -1, count = 0;
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
        view.findChild<QScrollBar*>(QStringLiteral("listScrollBar"))->setValue(100);
        QCOMPARE(view.GetTopIndex(), 100);
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
            view.GetItem(id, stored);
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
        CItem item;
        for (int kind = 0; kind <= 8; ++kind)
            QVERIFY(view.GetItem(kind, item) && item.Flags() == expected[kind]);
    }

    void filter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("ids");
        QTest::newRow("title and artist, case ignored") << QStringLiteral("QUEEN") << QList<int>{-4, 0, 1};
        QTest::newRow("album text, blanks around") << QStringLiteral("  arriv ") << QList<int>{-4, 2};
        QTest::newRow("option caption") << QStringLiteral("always") << QList<int>{-4, 5};
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
        view.AppendItem(Song(1, QStringLiteral("Queen")));
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
        QVERIFY(view.IsChanged());
        // Rows appended under a filter are filtered too.
        view.AppendItem(Song(7, QStringLiteral("Queen")));
        QCOMPARE(VisibleIds(view).contains(7), typed == QLatin1String("QUEEN"));

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
        int first = 0, count = 0;
        view.GetRowsOnScreen(first, count);
        QList<CItem> items;
        view.GetVisibleItems(items);
        QCOMPARE(items.size(), count);
        QCOMPARE(items.first().Id(), -4);
        QCOMPARE(items.last().Id(), count - 2);

        CItem flagged;
        view.UpdateItem(500, Song(500, QStringLiteral("Artist"), 0x80), 0);
        QVERIFY(!view.GetFirstVisibleFlaggedItem(flagged));  // not on screen
        view.UpdateItem(498, Song(498, QStringLiteral("Artist"), 0x01), 0);
        view.SetTopIndex(496);
        QVERIFY(view.GetFirstVisibleFlaggedItem(flagged));
        QCOMPARE(flagged.Id(), 498);

        // Positions among the visible rows, with and without the special row.
        QCOMPARE(view.FindVisibleRow(-4, true), -1);
        QCOMPARE(view.FindVisibleRow(10, false), 11);
        QCOMPARE(view.FindVisibleRow(10, true), 10);
        QTest::keyClicks(Search(view), QStringLiteral("title 99"));
        QCOMPARE(view.FindVisibleRow(990, true), 1);  // "Title 99" comes first
        QCOMPARE(view.FindVisibleRow(10, true), -1);

        view.hide();
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
        QVERIFY(view.FindAlbumItem("Arrival", "ABBA", found) && found.Id() == 10);
        QVERIFY(view.FindAlbumItem("arrival", "other", found) && found.Id() == 11);
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

        view.SetBriefTexts(CTranslatedStringDesc("%n songs in %1", "Test"), CTranslatedStringDesc(QStringLiteral("Mix")));
        QCOMPARE(brief->text(), QStringLiteral("3 songs in Mix"));
        view.SetOverrideBriefTexts(CTranslatedStringDesc(QStringLiteral("Loading %n of %1 songs")),
                                   CTranslatedStringDesc(QStringLiteral("10")));
        QCOMPARE(brief->text(), QStringLiteral("Loading 3 of 10 songs"));
        view.AppendItem(Song(3));
        QTRY_COMPARE(brief->text(), QStringLiteral("Loading 4 of 10 songs"));
        view.SetOverrideBriefTexts(CTranslatedStringDesc(), CTranslatedStringDesc());
        QCOMPARE(view.GetBriefText(), QStringLiteral("4 songs in Mix"));
        QTest::keyClicks(Search(view), QStringLiteral("title 3"));
        QTRY_COMPARE(brief->text(), QStringLiteral("1 songs in Mix"));
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
        view.AppendItem(Song(1));
        view.AppendItem(Song(2, QStringLiteral("Other")));
        QVERIFY(view.IsChanged());
        view.ResetChangedFlag();
        // Flags and a filter that hides nothing change no row's visibility.
        view.UpdateItem(1, Song(1, QStringLiteral("Artist"), 0x80), 0);
        view.SetItemFlags(-2, 0x01);
        Search(view)->setText(QStringLiteral("title"));
        QVERIFY(!view.IsChanged());

        view.SetBriefTexts(CTranslatedStringDesc(QStringLiteral("%n rows")), CTranslatedStringDesc());
        view.Clear();
        QVERIFY(view.IsChanged());
        CItem gone;
        QVERIFY(!view.GetItem(1, gone));
        QCOMPARE(view.GetFilterText(), QStringLiteral("title"));
        QCOMPARE(view.GetBriefText(), QStringLiteral("0 rows"));
    }

    void optionRowsDrawTheirKeys_data()
    {
        QTest::addColumn<int>("rowTemplate");
        QTest::addColumn<QVariantMap>("properties");
        QTest::addColumn<QString>("subtext");
        QTest::addColumn<int>("check");   // -1 hidden, 0 unchecked, 1 checked
        QTest::addColumn<int>("action");  // -1 hidden, 1 enabled (disabled: see signalsOnClicks)
        const QVariant caption = CTranslatedStringDesc("Always on top", "Test").ToVariant();
        const QVariant dark = CTranslatedStringDesc(QStringLiteral("Dark")).ToVariant();
        QTest::newRow("setting unchecked with value")
            << 1 << QVariantMap{{"4", caption}, {"5", dark}, {"11", -1}} << "Dark" << 0 << -1;
        QTest::newRow("setting without check") << 1 << QVariantMap{{"4", caption}, {"5", "Blue"}} << "Blue" << -1 << -1;
        QTest::newRow("action enabled")
            << 4 << QVariantMap{{"4", caption}, {"5", "Logged out"}, {"11", 1}, {"12", "Login"}, {"13", true}}
            << "Logged out" << -1 << 1;
    }

    void optionRowsDrawTheirKeys()
    {
        QFETCH(int, rowTemplate);
        QFETCH(QVariantMap, properties);
        QFETCH(QString, subtext);
        QFETCH(int, check);
        QFETCH(int, action);
        CItem item(KindOption, 3);
        item.InsertProperty(PropTemplate, rowTemplate);
        for (auto it = properties.cbegin(); it != properties.cend(); ++it)
            item.InsertProperty(it.key().toInt(), it.value());

        // Drawn over a widget that showed the other template before, as the list reuses them.
        CItemTemplate row(nullptr, KindOption);
        CItem other(KindOption, 9);
        other.InsertProperty(PropTemplate, rowTemplate == 1 ? 4 : 1);
        other.InsertProperty(PropCheckState, 1);
        other.InsertProperty(PropValueText, QStringLiteral("stale"));
        row.SetItem(other, 0);
        row.SetItem(item, 0);

        QCOMPARE(row.TextLabel()->text(), QStringLiteral("Always on top"));
        QCOMPARE(row.SubtextLabel()->isHidden() ? QString() : row.SubtextLabel()->text(), subtext);
        QCOMPARE(row.MenuCheck()->isHidden(), check < 0);
        if (check >= 0)
            QCOMPARE(row.MenuCheck()->isChecked(), check == 1);
        QCOMPARE(row.MenuAction()->isHidden(), action < 0);
        if (action >= 0)
            QVERIFY(row.MenuAction()->isEnabled() == (action == 1) && row.MenuAction()->text() == "Login");
        for (const char* name : {"check", "icon", "extra", "syncStat"})
            QVERIFY(row.GetChild(QLatin1String(name))->isHidden());
    }

    void songRowsHideButtonsByListOptions()
    {
        CItemTemplate row(nullptr, KindSong);
        CItem song(KindSong, 2);
        song.SetText(QStringLiteral("Queen"));
        song.SetSecondText(QStringLiteral("Innuendo"));
        song.SetPath(QStringLiteral("/music/q/innuendo.mp3"));
        song.InsertProperty(PropCheckState, 1);
        row.SetItem(song, 0);
        QCOMPARE(row.TextLabel()->text(), QStringLiteral("innuendo.mp3"));  // no title: the file name
        QCOMPARE(row.SubtextLabel()->text(), QStringLiteral("Queen - Innuendo"));
        QVERIFY(row.CheckBox()->isHidden());
        // 0x1 shows check boxes, 0x20 hides sync states, 0x40 more options.
        row.SetItem(song, 0x21);
        QVERIFY(row.CheckBox()->isVisibleTo(&row) && row.CheckBox()->isChecked());
        QVERIFY(row.SyncStatButton()->isHidden() && !row.ExtraButton()->isHidden());
        row.SetItem(song, 0x40);
        QVERIFY(row.CheckBox()->isHidden() && row.ExtraButton()->isHidden() && !row.SyncStatButton()->isHidden());
    }
};

SV_TEST_MAIN(TestListView)
#include "tst_listview.moc"
