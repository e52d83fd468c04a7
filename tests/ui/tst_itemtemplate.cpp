#include "support/testmain.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "core/translatedstring.h"
#include "ui/lists/itemtemplate.h"

using namespace MusicLists;

class TestItemTemplate : public QObject
{
    Q_OBJECT

private slots:
    void optionRowsDrawTheirKeys_data()
    {
        QTest::addColumn<int>("rowTemplate");
        QTest::addColumn<QVariantMap>("properties");
        QTest::addColumn<QString>("subtext");
        QTest::addColumn<int>("check");   // -1 hidden, 0 unchecked, 1 checked
        QTest::addColumn<int>("action");  // -1 hidden, 0 disabled, 1 enabled
        const QVariant caption = CTranslatedStringDesc("Always on top", "Test").ToVariant();
        const QVariant dark = CTranslatedStringDesc(QStringLiteral("Dark")).ToVariant();
        QTest::newRow("setting checked") << 1 << QVariantMap{{"4", caption}, {"11", 1}} << "" << 1 << -1;
        QTest::newRow("setting unchecked with value")
            << 1 << QVariantMap{{"4", caption}, {"5", dark}, {"11", -1}} << "Dark" << 0 << -1;
        QTest::newRow("setting without check") << 1 << QVariantMap{{"4", caption}, {"5", "Blue"}} << "Blue" << -1 << -1;
        QTest::newRow("action enabled")
            << 4 << QVariantMap{{"4", caption}, {"5", "Logged out"}, {"11", 1}, {"12", "Login"}, {"13", true}}
            << "Logged out" << -1 << 1;
        QTest::newRow("action disabled") << 4 << QVariantMap{{"4", caption}, {"12", "Login"}, {"13", false}} << ""
                                         << -1 << 0;
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
        QCOMPARE(row.SubtextLabel()->text(), subtext);
        QCOMPARE(row.SubtextLabel()->isHidden(), subtext.isEmpty());
        QCOMPARE(row.MenuCheck()->isHidden(), check < 0);
        if (check >= 0)
            QCOMPARE(row.MenuCheck()->isChecked(), check == 1);
        QCOMPARE(row.MenuAction()->isHidden(), action < 0);
        if (action >= 0) {
            QCOMPARE(row.MenuAction()->isEnabled(), action == 1);
            QCOMPARE(row.MenuAction()->text(), QStringLiteral("Login"));
        }
        for (const char* name : {"check", "icon", "extra", "syncStat"})
            QVERIFY(row.GetChild(QLatin1String(name))->isHidden());
    }

    void libraryRows()
    {
        CItemTemplate row(nullptr, KindAlbum);
        CItem album(KindAlbum, 1);
        album.SetSecondText(QStringLiteral("Arrival"));
        album.InsertProperty(PropArtists, QStringList{"ABBA", ""});
        album.InsertProperty(PropCount, 3);
        row.SetItem(album, 0);
        QCOMPARE(row.TextLabel()->text(), QStringLiteral("Arrival"));
        QCOMPARE(row.MiddleTextLabel()->text(), QStringLiteral("ABBA, Unknown artist"));
        QCOMPARE(row.SubtextLabel()->text(), QStringLiteral("3 songs"));

        CItemTemplate songRow(nullptr, KindSong);
        CItem song(KindSong, 2);
        song.SetText(QStringLiteral("Queen"));
        song.SetSecondText(QStringLiteral("Innuendo"));
        song.SetPath(QStringLiteral("/music/q/innuendo.mp3"));
        song.InsertProperty(PropCheckState, 1);
        songRow.SetItem(song, 0);
        QCOMPARE(songRow.TextLabel()->text(), QStringLiteral("innuendo.mp3"));  // no title: the file name
        QCOMPARE(songRow.SubtextLabel()->text(), QStringLiteral("Queen - Innuendo"));
        QVERIFY(songRow.CheckBox()->isHidden());
        // The list's options hide buttons: 0x1 shows check boxes, 0x20 hides sync states, 0x40 more options.
        songRow.SetItem(song, 0x21);
        QVERIFY(songRow.CheckBox()->isVisibleTo(&songRow) && songRow.CheckBox()->isChecked());
        QVERIFY(songRow.SyncStatButton()->isHidden() && !songRow.ExtraButton()->isHidden());
        songRow.SetItem(song, 0x40);
        QVERIFY(songRow.CheckBox()->isHidden() && songRow.ExtraButton()->isHidden());
        QVERIFY(!songRow.SyncStatButton()->isHidden());
    }
};

SV_TEST_MAIN(TestItemTemplate)
#include "tst_itemtemplate.moc"
