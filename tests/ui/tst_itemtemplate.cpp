#include "support/testmain.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

#include "core/translatedstring.h"
#include "ui/lists/itemtemplate.h"

using namespace MusicLists;


class TestItemTemplate : public QObject
{
    Q_OBJECT

private slots:
    void namedChildren();
    void optionRowsDrawTheirKeys_data();
    void optionRowsDrawTheirKeys();
    void libraryRows();
    void listOptionsHideButtons_data();
    void listOptionsHideButtons();
};

void TestItemTemplate::namedChildren()
{
    CItemTemplate row(nullptr, KindOption);
    const QStringList names = {"check", "icon", "text", "middleText", "subtext",
                               "controls", "extra", "menuCheck", "menuAction", "syncStat"};
    for (const QString& name : names) {
        QWidget* child = row.GetChild(name);
        QVERIFY2(child, qPrintable(name));
        QCOMPARE(row.findChild<QWidget*>(name), child);
        child->hide();
        QVERIFY(child->isHidden());
    }
    QVERIFY(!row.GetChild(QStringLiteral("nothing")));
}

void TestItemTemplate::optionRowsDrawTheirKeys_data()
{
    QTest::addColumn<int>("rowTemplate");
    QTest::addColumn<QVariantMap>("properties");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("subtext");
    QTest::addColumn<int>("check");   // -1 hidden, 0 unchecked, 1 checked
    QTest::addColumn<int>("action");  // -1 hidden, 0 disabled, 1 enabled
    QTest::addColumn<QString>("actionText");

    const QVariant caption = CTranslatedStringDesc("Always on top", "Test").ToVariant();
    QTest::newRow("setting checked") << 1 << QVariantMap{{"4", caption}, {"11", 1}}
                                     << "Always on top" << "" << 1 << -1 << "";
    QTest::newRow("setting unchecked with value")
        << 1 << QVariantMap{{"4", caption}, {"5", CTranslatedStringDesc(QStringLiteral("Dark")).ToVariant()}, {"11", -1}}
        << "Always on top" << "Dark" << 0 << -1 << "";
    QTest::newRow("setting without check") << 1 << QVariantMap{{"4", "Skin"}, {"5", "Blue"}}
                                           << "Skin" << "Blue" << -1 << -1 << "";
    QTest::newRow("action enabled")
        << 4 << QVariantMap{{"4", "Sonvero"}, {"5", "Logged out"}, {"11", 1}, {"12", "Login"}, {"13", true}}
        << "Sonvero" << "Logged out" << -1 << 1 << "Login";
    QTest::newRow("action disabled")
        << 4 << QVariantMap{{"4", "Twitter"}, {"12", CTranslatedStringDesc("Connect", "Test").ToVariant()}, {"13", false}}
        << "Twitter" << "" << -1 << 0 << "Connect";
}

void TestItemTemplate::optionRowsDrawTheirKeys()
{
    QFETCH(int, rowTemplate);
    QFETCH(QVariantMap, properties);
    QFETCH(QString, text);
    QFETCH(QString, subtext);
    QFETCH(int, check);
    QFETCH(int, action);
    QFETCH(QString, actionText);

    CItem item(KindOption, 3);
    item.InsertProperty(PropTemplate, rowTemplate);
    for (auto it = properties.cbegin(); it != properties.cend(); ++it)
        item.InsertProperty(it.key().toInt(), it.value());

    // Drawn over a widget that showed another template before, as the list reuses them.
    CItemTemplate row(nullptr, KindOption);
    CItem other(KindOption, 9);
    other.InsertProperty(PropTemplate, rowTemplate == 1 ? 4 : 1);
    other.InsertProperty(PropCheckState, 1);
    other.InsertProperty(PropValueText, QStringLiteral("stale"));
    row.SetItem(other, 0);
    row.SetItem(item, 0);

    QCOMPARE(row.TextLabel()->text(), text);
    QCOMPARE(row.SubtextLabel()->text(), subtext);
    QCOMPARE(row.SubtextLabel()->isHidden(), subtext.isEmpty());
    QCOMPARE(row.MenuCheck()->isHidden(), check < 0);
    if (check >= 0)
        QCOMPARE(row.MenuCheck()->isChecked(), check == 1);
    QCOMPARE(row.MenuAction()->isHidden(), action < 0);
    if (action >= 0) {
        QCOMPARE(row.MenuAction()->isEnabled(), action == 1);
        QCOMPARE(row.MenuAction()->text(), actionText);
    }
    for (QWidget* hidden : {row.GetChild("check"), row.GetChild("icon"), row.GetChild("extra"), row.GetChild("syncStat")})
        QVERIFY(hidden->isHidden());
}

void TestItemTemplate::libraryRows()
{
    CItemTemplate row(nullptr, KindAlbum);
    CItem album(KindAlbum, 1);
    album.SetSecondText(QStringLiteral("Arrival"));
    album.InsertProperty(PropArtists, QStringList{"ABBA", ""});
    album.InsertProperty(PropCount, 3);
    QPixmap art(200, 100);
    art.fill(Qt::red);
    album.InsertProperty(PropPicture, art);
    row.SetItem(album, 0);
    QCOMPARE(row.TextLabel()->text(), QStringLiteral("Arrival"));
    QCOMPARE(row.MiddleTextLabel()->text(), QStringLiteral("ABBA, Unknown artist"));
    QCOMPARE(row.SubtextLabel()->text(), QStringLiteral("3 songs"));
    const QPixmap shown = row.Icon()->pixmap(Qt::ReturnByValue);
    QVERIFY(!shown.isNull() && shown.width() <= row.Icon()->width());

    album.SetSecondText(QString());
    album.InsertProperty(PropOneArtist, true);
    album.SetText(QStringLiteral("Queen"));
    album.RemoveProperty(PropCount);
    row.SetItem(album, 0);
    QCOMPARE(row.TextLabel()->text(), QStringLiteral("Unknown album"));
    QCOMPARE(row.MiddleTextLabel()->text(), QStringLiteral("Queen"));
    QVERIFY(row.SubtextLabel()->isHidden());

    CItemTemplate songRow(nullptr, KindSong);
    CItem song(KindSong, 2);
    song.SetText(QStringLiteral("Queen"));
    song.SetSecondText(QStringLiteral("Innuendo"));
    song.SetPath(QStringLiteral("/music/q/innuendo.mp3"));
    songRow.SetItem(song, 0);
    QCOMPARE(songRow.TextLabel()->text(), QStringLiteral("innuendo.mp3"));  // no title: the file name
    QCOMPARE(songRow.SubtextLabel()->text(), QStringLiteral("Queen - Innuendo"));
    // Sync states as the skin selects them; the same widget redrawn each time.
    const QList<QPair<QVariant, QString>> states = {
        {1, "in"}, {0, "partial"}, {-1, "out"}, {qint32(0x80000000), "missing"}, {QVariant(), "none"}};
    for (const auto& state : states) {
        song.RemoveProperty(PropSyncState);
        if (state.first.isValid())
            song.InsertProperty(PropSyncState, state.first);
        songRow.SetItem(song, 0);
        QCOMPARE(songRow.SyncStatButton()->property("syncState").toString(), state.second);
    }

    CItem special(KindShuffleAll, -4);
    special.InsertProperty(PropTitle, CTranslatedStringDesc("Shuffle All Songs", "Test").ToVariant());
    songRow.SetItem(special, 0);
    QCOMPARE(songRow.TextLabel()->text(), QStringLiteral("Shuffle All Songs"));
    QVERIFY(songRow.ExtraButton()->isHidden());
}

void TestItemTemplate::listOptionsHideButtons_data()
{
    QTest::addColumn<int>("options");
    QTest::addColumn<bool>("check");
    QTest::addColumn<bool>("syncStat");
    QTest::addColumn<bool>("extra");
    QTest::newRow("none") << 0 << false << true << true;
    QTest::newRow("check boxes") << 0x1 << true << true << true;
    QTest::newRow("no sync state") << 0x20 << false << false << true;
    QTest::newRow("no more options") << 0x40 << false << true << false;
    QTest::newRow("popup list") << 0x70 << false << false << false;
}

void TestItemTemplate::listOptionsHideButtons()
{
    QFETCH(int, options);
    QFETCH(bool, check);
    QFETCH(bool, syncStat);
    QFETCH(bool, extra);
    CItemTemplate row(nullptr, KindSong);
    CItem song(KindSong, 1);
    song.InsertProperty(PropCheckState, 1);
    row.SetItem(song, options);
    QCOMPARE(!row.CheckBox()->isHidden(), check);
    QCOMPARE(!row.SyncStatButton()->isHidden(), syncStat);
    QCOMPARE(!row.ExtraButton()->isHidden(), extra);
    if (check)
        QVERIFY(row.CheckBox()->isChecked());
}

SV_TEST_MAIN(TestItemTemplate)
#include "tst_itemtemplate.moc"
