#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include "ui/skin/skin.h"

namespace {

QStringList s_warnings;

// A widget that counts the skin engine's reload calls.
class CReloadCounter : public QLabel
{
    Q_OBJECT
public:
    int reloads = 0;
public slots:
    void reloadSkin() { ++reloads; }
};

void WriteFile(const QString& path, const QString& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content.toUtf8());
}

// A folder skin whose files carry its id, so that tests can tell which skin a text came from.
void WriteFolderSkin(const QString& folder, const QString& id, bool withConf = true)
{
    const QString root = folder + QLatin1Char('/') + id;
    if (withConf)
        WriteFile(root + "/conf.ini", QStringLiteral("[skin]\nname=Skin %1\n[window]\nmargins=1,2,3,4\n[css]\n1=css/main.css\n"
                                                     "[html]\nseparator=<hr>\nstyle=html/s.css\n").arg(id));
    WriteFile(root + "/css/main.css", QStringLiteral("QLabel { background: url(\"${SKIN_ROOT}/img/logo.png\"); } /* %1 */").arg(id));
    WriteFile(root + "/html/NoLyrics.htm", QStringLiteral("<img src=\"${SKIN_ROOT}/img/logo.png\">%1").arg(id));
    WriteFile(root + "/html/s.css", QStringLiteral("p { color: red; }"));
}

QStringList Ids(const Skin& skin)
{
    QStringList ids;
    for (const Skin::CSkinDesc& desc : skin.GetSkins())
        ids << desc.id;
    return ids;
}

} // namespace

class TestSkin : public QObject
{
    Q_OBJECT

    QString SkinFolder() const { return SvTest::Environment()->DataDirectory() + QStringLiteral("/skins"); }
    QString Root(const char* id) const { return QDir(SkinFolder() + QLatin1Char('/') + QLatin1String(id)).absolutePath(); }

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        WriteFolderSkin(SkinFolder(), QStringLiteral("zeta"));
        WriteFolderSkin(SkinFolder(), QStringLiteral("alpha"));
        WriteFolderSkin(SkinFolder(), QStringLiteral("notaskin"), false);
        // A folder skin may not take the id of a compiled-in one.
        WriteFolderSkin(SkinFolder(), QStringLiteral("default"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Skin::FindSkins: skin\\[default\\] already known")));
    }

    void skinsAreFoundWithStableIds()
    {
        Skin skin(nullptr, {SkinFolder()});
        // Compiled-in first, then the folder's skins by id; folders without conf.ini are no skins.
        QCOMPARE(Ids(skin), QStringList({"default", "alpha", "zeta"}));
        QCOMPARE(skin.GetSkins().at(1).name, QStringLiteral("Skin alpha"));
        QCOMPARE(skin.GetCurrentSkinId(), QStringLiteral("default"));
        // A new skin folder does not move the ids of the others.
        WriteFolderSkin(SkinFolder(), QStringLiteral("beta"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Skin::FindSkins: skin\\[default\\] already known")));
        skin.ReloadSkinList();
        QCOMPARE(Ids(skin), QStringList({"default", "alpha", "beta", "zeta"}));
    }

    void theStoredChoiceIsUsedAtStart()
    {
        QSettings().setValue(QStringLiteral("skin8/name"), QStringLiteral("zeta"));
        QCOMPARE(Skin(nullptr, {SkinFolder()}).GetContentsMargins(), QMargins(1, 2, 3, 4));
        // A skin that went away falls back to the default one.
        QSettings().setValue(QStringLiteral("skin8/name"), QStringLiteral("gone"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Skin::FindSkins: ")));
        QTest::ignoreMessage(QtDebugMsg, "Skin::Skin: skin[gone] not found");
        QCOMPARE(Skin(nullptr, {SkinFolder()}).GetCurrentSkinId(), QStringLiteral("default"));
    }

    void applyCssSetsPropertyAndSheet()
    {
        Skin skin(nullptr, {SkinFolder()});
        for (int kind = 0; kind < Skin::CssKindCount; ++kind) {
            // The sheet must also parse: Qt only says so in a warning once it is applied.
            s_warnings.clear();
            QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
                if (type == QtWarningMsg && !text.contains(QLatin1String("propagateSizeHints")))  // the platform's own
                    s_warnings.append(text);
            });
            QWidget window;
            skin.ApplyCss(&window, kind);
            (new QVBoxLayout(&window))->addWidget(new QPushButton(QStringLiteral("button")));
            window.show();
            QCoreApplication::processEvents();
            qInstallMessageHandler(previous);
            QCOMPARE(window.property("skinsengine_skinid").toString(), QStringLiteral("default"));
            QVERIFY(!window.styleSheet().isEmpty() && !window.styleSheet().contains(QLatin1String("${SKIN_ROOT}")));
            QVERIFY2(s_warnings.isEmpty(), qPrintable(QString::number(kind) + s_warnings.join(QLatin1Char('\n'))));
        }
    }

    void chooseSkinReappliesAndReloads()
    {
        Skin skin(nullptr, {SkinFolder()});
        CReloadCounter recorded;
        CReloadCounter unrecordedWindow;  // top-level widgets are reloaded too
        auto* gone = new CReloadCounter();
        skin.ApplyCss(&recorded, Skin::CssMainWindow);
        skin.ApplyCss(gone, Skin::CssMainWindow);
        delete gone;  // a deleted widget is forgotten

        QTest::ignoreMessage(QtDebugMsg, "Skin::ChooseSkin: [alpha] save=1 force=0");
        QCOMPARE(skin.ChooseSkin(QStringLiteral("alpha"), true, false), S_OK);
        QCOMPARE(recorded.property("skinsengine_skinid").toString(), QStringLiteral("alpha"));
        QVERIFY(recorded.styleSheet().contains(Root("alpha") + QStringLiteral("/img/logo.png\"); } /* alpha */")));
        QCOMPARE(recorded.reloads, 1);
        QCOMPARE(unrecordedWindow.reloads, 1);
        QCOMPARE(QSettings().value(QStringLiteral("skin8/name")).toString(), QStringLiteral("alpha"));
        // Its texts, with its root filled in, and its separator and style block.
        QCOMPARE(skin.getHtml(2), QStringLiteral("<img src=\"%1/img/logo.png\">alpha").arg(Root("alpha")));
        QCOMPARE(skin.WrapHtmlLinesWithCss({"a", "b"}),
                 QStringLiteral("<html><head><style type=\"text/css\">p { color: red; }</style></head>"
                                "<body>a<hr>b</body></html>"));
        // A text the skin lacks is empty, and says so in the log.
        QTest::ignoreMessage(QtDebugMsg, "Skin::ReadSkinFile: can not read [html/NoMetadata.htm] of skin[alpha]");
        QCOMPARE(skin.getHtml(3), QString());

        // The same skin again does nothing unless forced; unsaved choices leave the setting alone.
        QTest::ignoreMessage(QtDebugMsg, "Skin::ChooseSkin: [alpha] save=0 force=0");
        QCOMPARE(skin.ChooseSkin(QStringLiteral("alpha"), false, false), S_FALSE);
        QCOMPARE(recorded.reloads, 1);
        QTest::ignoreMessage(QtDebugMsg, "Skin::ChooseSkin: [alpha] save=1 force=1");
        QCOMPARE(skin.ChooseSkin(QStringLiteral("alpha"), true, true), S_OK);
        QCOMPARE(recorded.reloads, 2);
        QTest::ignoreMessage(QtDebugMsg, "Skin::ChooseSkin: [zeta] save=0 force=0");
        QCOMPARE(skin.ChooseSkin(QStringLiteral("zeta"), false, false), S_OK);
        QCOMPARE(QSettings().value(QStringLiteral("skin8/name")).toString(), QStringLiteral("alpha"));
        QTest::ignoreMessage(QtDebugMsg, "Skin::ChooseSkin: unknown skin[nope] 800700a0");
        QCOMPARE(skin.ChooseSkin(QStringLiteral("nope"), true, true), E_INVALIDARG);
        QCOMPARE(skin.GetCurrentSkinId(), QStringLiteral("zeta"));
    }

    void htmlTextsAndImagesOfTheDefaultSkin()
    {
        Skin skin(nullptr, {SkinFolder()});
        const QList<int> known = {2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 16, 18, 19, 22};
        for (int id = -1; id <= 23; ++id) {
            const QString html = skin.getHtml(id);
            QVERIFY2(html.isEmpty() != known.contains(id), qPrintable(QString::number(id)));
            QVERIFY(!html.contains(QLatin1String("${SKIN_ROOT}")));
        }
        // The placeholders that the consumers fill in.
        QVERIFY(skin.getHtml(12).contains(QLatin1String("%1")));
        QVERIFY(skin.getHtml(16).contains(QLatin1String("${SECONDS_LEFT}")));

        QCOMPARE(skin.getImage(Skin::ImageLogo).size(), QSize(32, 32));
        QVERIFY(!skin.getImage(Skin::ImageFacebook).isNull() && !skin.getImage(Skin::ImageTwitter).isNull());
        QVERIFY(skin.getImage(5).isNull());
    }
};

SV_TEST_MAIN(TestSkin)
#include "tst_skin.moc"
