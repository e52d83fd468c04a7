#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QSettings>

#include "ui/skin/skin.h"

namespace {

QStringList s_warnings;

void CollectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    // The offscreen platform's own complaint is no concern of the skin.
    if (type == QtWarningMsg && !message.contains(QLatin1String("propagateSizeHints")))
        s_warnings.append(message);
}

// A widget that counts the skin engine's reload calls.
class CReloadCounter : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;
    int reloads = 0;
public slots:
    void reloadSkin() { ++reloads; }
};

void WriteFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A folder skin whose files carry its id, so that tests can tell which skin a text came from.
void WriteFolderSkin(const QString& folder, const QString& id, bool withConf = true)
{
    const QString root = folder + QLatin1Char('/') + id;
    QDir().mkpath(root);
    if (withConf) {
        WriteFile(root + QStringLiteral("/conf.ini"),
                  QStringLiteral("[skin]\nname=Skin %1\n[window]\nmargins=1,2,3,4\n[css]\n1=css/main.css\n"
                                 "[images]\n2=img/logo.png\n[html]\nseparator=<hr>\nstyle=html/s.css\n")
                      .arg(id)
                      .toUtf8());
    }
    WriteFile(root + QStringLiteral("/css/main.css"),
              QStringLiteral("QLabel { background: url(\"${SKIN_ROOT}/img/logo.png\"); } /* %1 */").arg(id).toUtf8());
    WriteFile(root + QStringLiteral("/html/NoLyrics.htm"),
              QStringLiteral("<img src=\"${SKIN_ROOT}/img/logo.png\">%1").arg(id).toUtf8());
    WriteFile(root + QStringLiteral("/html/s.css"), "p { color: red; }");
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QDir().mkpath(root + QStringLiteral("/img"));
    QVERIFY(image.save(root + QStringLiteral("/img/logo.png")));
}

} // namespace

class TestSkin : public QObject
{
    Q_OBJECT

    QString SkinFolder() const { return SvTest::Environment()->DataDirectory() + QStringLiteral("/skins"); }

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        WriteFolderSkin(SkinFolder(), QStringLiteral("zeta"));
        WriteFolderSkin(SkinFolder(), QStringLiteral("alpha"));
        WriteFolderSkin(SkinFolder(), QStringLiteral("notaskin"), false);
        // A folder skin may not take the id of a compiled-in one.
        WriteFolderSkin(SkinFolder(), QStringLiteral("default"));
    }

    void skinsAreFoundWithStableIds()
    {
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Skin::FindSkins: skin\\[default\\] already known")));
        Skin skin(nullptr, {SkinFolder()});
        const QList<Skin::CSkinDesc> skins = skin.GetSkins();
        QStringList ids;
        for (const Skin::CSkinDesc& desc : skins)
            ids << desc.id;
        // Compiled-in first, then the folder's skins by id; folders without conf.ini are no skins.
        QCOMPARE(ids, QStringList({"default", "alpha", "zeta"}));
        QVERIFY(skins.at(0).builtIn);
        QCOMPARE(skins.at(0).root, QStringLiteral(":/img/skins/default"));
        QVERIFY(!skins.at(1).builtIn);
        QCOMPARE(skins.at(1).name, QStringLiteral("Skin alpha"));
        QCOMPARE(skins.at(2).root, QDir(SkinFolder() + QStringLiteral("/zeta")).absolutePath());
        QCOMPARE(skin.GetCurrentSkinId(), QStringLiteral("default"));
        QVERIFY(!skin.GetCurrentSkinName().isEmpty());

        // A new skin folder does not move the ids of the others.
        WriteFolderSkin(SkinFolder(), QStringLiteral("beta"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Skin::FindSkins: skin\\[default\\] already known")));
        skin.ReloadSkinList();
        ids.clear();
        for (const Skin::CSkinDesc& desc : skin.GetSkins())
            ids << desc.id;
        QCOMPARE(ids, QStringList({"default", "alpha", "beta", "zeta"}));
    }

    void theStoredChoiceIsUsedAtStart()
    {
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Skin::FindSkins: ")));
        QSettings().setValue(QStringLiteral("skin8/name"), QStringLiteral("zeta"));
        {
            Skin skin(nullptr, {SkinFolder()});
            QCOMPARE(skin.GetCurrentSkinId(), QStringLiteral("zeta"));
            QCOMPARE(skin.GetCurrentSkinName(), QStringLiteral("Skin zeta"));
            QCOMPARE(skin.GetContentsMargins(), QMargins(1, 2, 3, 4));
        }
        // A skin that went away falls back to the default one.
        QSettings().setValue(QStringLiteral("skin8/name"), QStringLiteral("gone"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Skin::FindSkins: ")));
        QTest::ignoreMessage(QtDebugMsg, "Skin::Skin: skin[gone] not found");
        Skin skin(nullptr, {SkinFolder()});
        QCOMPARE(skin.GetCurrentSkinId(), QStringLiteral("default"));
    }

    void applyCssSetsPropertyAndSheet_data()
    {
        QTest::addColumn<int>("kind");
        for (int kind = 0; kind < Skin::CssKindCount; ++kind)
            QTest::addRow("kind %d", kind) << kind;
    }

    void applyCssSetsPropertyAndSheet()
    {
        QFETCH(int, kind);
        Skin skin(nullptr, QStringList());
        QLabel label;
        skin.ApplyCss(&label, kind);
        QCOMPARE(label.property("skinsengine_skinid").toString(), QStringLiteral("default"));
        QVERIFY(!label.styleSheet().isEmpty());
        QCOMPARE(label.styleSheet(), skin.GetCss(kind));
        QVERIFY(!label.styleSheet().contains(QLatin1String("${SKIN_ROOT}")));

        // The sheet parses: Qt only says so in a warning when it is applied.
        s_warnings.clear();
        QtMessageHandler previous = qInstallMessageHandler(CollectWarnings);
        QWidget window;
        skin.ApplyCss(&window, kind);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(new QLabel(QStringLiteral("text")));
        layout->addWidget(new QPushButton(QStringLiteral("button")));
        window.show();
        window.ensurePolished();
        QCoreApplication::processEvents();
        qInstallMessageHandler(previous);
        QVERIFY2(s_warnings.isEmpty(), qPrintable(s_warnings.join(QLatin1Char('\n'))));
    }

    void chooseSkinReappliesAndReloads()
    {
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Skin::FindSkins: ")));
        Skin skin(nullptr, {SkinFolder()});
        CReloadCounter recorded;
        CReloadCounter unrecordedWindow;  // top-level widgets are reloaded too
        auto* gone = new CReloadCounter();
        skin.ApplyCss(&recorded, Skin::CssMainWindow);
        skin.ApplyCss(gone, Skin::CssMainWindow);
        delete gone;

        QTest::ignoreMessage(QtDebugMsg, "Skin::ChooseSkin: [alpha] save=1 force=0");
        QCOMPARE(skin.ChooseSkin(QStringLiteral("alpha"), true, false), S_OK);
        QCOMPARE(recorded.property("skinsengine_skinid").toString(), QStringLiteral("alpha"));
        QVERIFY(recorded.styleSheet().contains(QLatin1String("/* alpha */")));
        QVERIFY(recorded.styleSheet().contains(QDir(SkinFolder() + QStringLiteral("/alpha")).absolutePath() +
                                               QStringLiteral("/img/logo.png")));
        QCOMPARE(recorded.reloads, 1);
        QCOMPARE(unrecordedWindow.reloads, 1);
        QCOMPARE(QSettings().value(QStringLiteral("skin8/name")).toString(), QStringLiteral("alpha"));

        // The same skin again does nothing unless forced; unsaved choices leave the setting alone.
        QTest::ignoreMessage(QtDebugMsg, "Skin::ChooseSkin: [alpha] save=0 force=0");
        QCOMPARE(skin.ChooseSkin(QStringLiteral("alpha"), false, false), S_FALSE);
        QCOMPARE(recorded.reloads, 1);
        WriteFile(SkinFolder() + QStringLiteral("/alpha/css/main.css"), "QLabel { color: blue; } /* edited */");
        QTest::ignoreMessage(QtDebugMsg, "Skin::ChooseSkin: [alpha] save=1 force=1");
        QCOMPARE(skin.ChooseSkin(QStringLiteral("alpha"), true, true), S_OK);
        QCOMPARE(recorded.reloads, 2);
        QVERIFY(recorded.styleSheet().contains(QLatin1String("/* edited */")));
        QTest::ignoreMessage(QtDebugMsg, "Skin::ChooseSkin: [zeta] save=0 force=0");
        QCOMPARE(skin.ChooseSkin(QStringLiteral("zeta"), false, false), S_OK);
        QCOMPARE(QSettings().value(QStringLiteral("skin8/name")).toString(), QStringLiteral("alpha"));

        QTest::ignoreMessage(QtDebugMsg, "Skin::ChooseSkin: unknown skin[nope]");
        QCOMPARE(skin.ChooseSkin(QStringLiteral("nope"), true, true), E_INVALIDARG);
        QCOMPARE(skin.GetCurrentSkinId(), QStringLiteral("zeta"));
        QCOMPARE(recorded.reloads, 3);
    }

    void htmlTexts_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("file");
        const QList<QPair<int, QString>> files = {
            {2, "NoLyrics.htm"}, {3, "NoMetadata.htm"}, {4, "LyricsCopyright.htm"},
            {5, "LyricsCountryRestriction.htm"}, {6, "SearchingLyrics.htm"}, {7, "LyricsNetworkError.htm"},
            {8, "NoInternetConnection.htm"}, {9, "ConectionError.htm"}, {10, "playerStarting.htm"},
            {12, "NoActivePlayer.htm"}, {13, "ThanksForSyncing.htm"}, {14, "startLyricsSync.htm"},
            {16, "readyGo.htm"}, {18, "WarnSignIn.htm"}, {19, "WarnSignUp.htm"}, {22, "WelcomeLogin.htm"},
        };
        for (const auto& entry : files)
            QTest::addRow("%d %s", entry.first, qPrintable(entry.second)) << entry.first << entry.second;
        for (int id : {-1, 0, 1, 11, 15, 17, 20, 21, 23, 100})
            QTest::addRow("unknown %d", id) << id << QString();
    }

    void htmlTexts()
    {
        QFETCH(int, id);
        QFETCH(QString, file);
        Skin skin(nullptr, QStringList());
        QCOMPARE(Skin::HtmlFileName(id), file);
        const QString html = skin.getHtml(id);
        QCOMPARE(html.isEmpty(), file.isEmpty());
        QVERIFY(!html.contains(QLatin1String("${SKIN_ROOT}")));
        // The placeholders that the consumers fill in.
        if (id == 12)
            QVERIFY(html.contains(QLatin1String("%1")));
        if (id == 16)
            QVERIFY(html.contains(QLatin1String("${SECONDS_LEFT}")));
    }

    void htmlTextsGetTheSkinRoot()
    {
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Skin::")));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Skin::")));
        Skin skin(nullptr, {SkinFolder()});
        QCOMPARE(skin.ChooseSkin(QStringLiteral("alpha"), false, false), S_OK);
        const QString root = QDir(SkinFolder() + QStringLiteral("/alpha")).absolutePath();
        QCOMPARE(skin.getHtml(2), QStringLiteral("<img src=\"%1/img/logo.png\">alpha").arg(root));
        // A text the skin lacks is empty, and says so in the log.
        QTest::ignoreMessage(QtDebugMsg, "Skin::ReadSkinFile: can not read [html/NoMetadata.htm] of skin[alpha]");
        QCOMPARE(skin.getHtml(3), QString());
    }

    void imagesOfTheDefaultSkin()
    {
        Skin skin(nullptr, QStringList());
        const QPixmap logo = skin.getImage(Skin::ImageLogo);
        QCOMPARE(logo.size(), QSize(32, 32));
        QVERIFY(!skin.getImage(Skin::ImageFacebook).isNull());
        QVERIFY(!skin.getImage(Skin::ImageTwitter).isNull());
        QVERIFY(skin.getImage(1).isNull());
        QVERIFY(skin.getImage(5).isNull());
    }

    void wrapHtmlLinesWithCss()
    {
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Skin::")));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Skin::")));
        Skin skin(nullptr, {SkinFolder()});
        const QString page = Skin(nullptr, QStringList()).WrapHtmlLinesWithCss({"one", "two"});
        QVERIFY(page.startsWith(QLatin1String("<html><head><style type=\"text/css\">")));
        QVERIFY(page.endsWith(QLatin1String("<body>one<br>two</body></html>")));
        QVERIFY(page.contains(QLatin1String("body {")));
        // Separator and style block are the skin's.
        QCOMPARE(skin.ChooseSkin(QStringLiteral("alpha"), false, false), S_OK);
        QCOMPARE(skin.WrapHtmlLinesWithCss({"a", "b"}),
                 QStringLiteral("<html><head><style type=\"text/css\">p { color: red; }</style></head>"
                                "<body>a<hr>b</body></html>"));
    }
};

SV_TEST_MAIN(TestSkin)
#include "tst_skin.moc"
