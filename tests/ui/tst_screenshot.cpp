#include "support/testmain.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "ui/popups/popupnote.h"
#include "ui/popups/popupstack.h"
#include "ui/skin/skin.h"
#include "ui/tabbase.h"
#include "ui/widgets/bilevelcapacitywidget.h"
#include "ui/widgets/frameseparator.h"
#include "ui/widgets/progressrollingwheel.h"
#include "ui/widgets/skinwidget.h"
#include "ui/widgets/stackwidget.h"
#include "ui/widgets/widgetgroup.h"

namespace {

// The share of pixels of the image that have exactly this colour.
double Share(const QImage& image, QRgb color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            count += (line[x] & 0xffffff) == (color & 0xffffff);
    }
    return double(count) / (image.width() * image.height());
}

int DistinctColours(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            colours.insert(line[x]);
    }
    return colours.size();
}

void Keep(const QImage& image, const QString& name)
{
    // Set SV_SCREENSHOT_DIR to look at what the test saw.
    const QString dir = qEnvironmentVariable("SV_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        image.save(QDir(dir).filePath(name));
}

} // namespace

class TestScreenshot : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        QCOMPARE(Skin::instance()->GetCurrentSkinId(), QStringLiteral("default"));
    }

    void skinnedWindowRendersWithTheDefaultSkin()
    {
        SkinWidget window;
        window.resize(328, 420);
        auto* content = new QFrame(&window);
        auto* stacked = new QStackedLayout(content);
        auto* windowLayout = new QVBoxLayout(&window);
        windowLayout->setContentsMargins(0, 0, 0, 0);
        windowLayout->setSpacing(0);
        windowLayout->addWidget(content);
        CPopupStack popups(&window, stacked);

        auto* mainFrame = new QFrame();
        auto* mainLayout = new QVBoxLayout(mainFrame);
        mainLayout->setContentsMargins(0, 0, 0, 0);
        mainLayout->setSpacing(0);
        auto* title = new QFrame(mainFrame);
        title->setObjectName(QStringLiteral("titleBar"));
        auto* titleLayout = new QHBoxLayout(title);
        auto* close = new CPushButtonInGroup(title);
        close->setObjectName(QStringLiteral("btnClose"));
        titleLayout->addWidget(close);
        auto* logo = new QLabel(title);
        logo->setPixmap(Skin::instance()->getImage(Skin::ImageLogo));
        titleLayout->addWidget(logo);
        titleLayout->addStretch(1);
        Skin::instance()->ApplyCss(title, Skin::CssTitleBar);
        CWidgetGroup group(title, title);
        group.AddWidget(close);

        auto* pages = new CStackWidget(mainFrame);
        pages->setObjectName(QStringLiteral("frameTabsContent"));
        Skin::instance()->ApplyCss(pages, Skin::CssPageStack);
        auto* page = new CTabBase();
        page->HeaderTitle()->setText(QStringLiteral("My Music"));
        page->HeaderIcon()->setPixmap(Skin::instance()->getImage(Skin::ImageLogo).scaled(24, 24));
        auto* text = new QLabel(Skin::instance()->getHtml(2));
        text->setWordWrap(true);
        page->ContentLayout()->addWidget(text);
        page->ContentLayout()->addWidget(new CFrameSeparator());
        auto* bar = new CBiLevelCapacityWidget();
        bar->SetUsedValue(40);
        bar->SetRequiredValue(25);
        page->ContentLayout()->addWidget(bar);
        auto* wheel = new CProgressRollingWheelV2();
        wheel->Start();
        page->ContentLayout()->addWidget(wheel, 0, Qt::AlignCenter);
        page->ContentLayout()->addWidget(new QPushButton(QStringLiteral("Sync")));
        page->ContentLayout()->addStretch(1);
        pages->AddWidget(page, true, true, false);

        mainLayout->addWidget(title);
        mainLayout->addWidget(pages, 1);
        popups.Push(mainFrame);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(20);

        const QImage plain = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        Keep(plain, QStringLiteral("window.png"));
        QCOMPARE(plain.size(), QSize(328, 420));
        // The skin's colours are there (window frame, page background, header), and it is not one flat area.
        QVERIFY2(Share(plain, qRgb(0x1b, 0x1e, 0x23)) > 0.01, "window background of the skin missing");
        QVERIFY2(Share(plain, qRgb(0x22, 0x26, 0x2c)) > 0.2, "page background of the skin missing");
        QVERIFY2(Share(plain, qRgb(0x2b, 0x30, 0x38)) > 0.02, "page header of the skin missing");
        QVERIFY(DistinctColours(plain) > 50);
        // The window's margins come from the skin.
        QCOMPARE(window.contentsMargins(), Skin::instance()->GetContentsMargins());
        QVERIFY(!window.contentsMargins().isNull());

        // A note over it: the fader darkens the page around the note's frame.
        popups.Push(new CPopupNote(CTranslatedStringDesc(QStringLiteral("Playlist saved"))));
        QTest::qWait(20);
        const QImage faded = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        Keep(faded, QStringLiteral("note.png"));
        const QPoint corner(window.width() - 12, window.height() - 12);
        QVERIFY(qGray(faded.pixel(corner)) < qGray(plain.pixel(corner)));
        QVERIFY(faded != plain);
    }
};

SV_TEST_MAIN(TestScreenshot)
#include "tst_screenshot.moc"
