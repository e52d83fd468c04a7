#include "support/testmain.h"

#include <QHash>
#include <QLabel>
#include <QPushButton>
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

class TestScreenshot : public QObject
{
    Q_OBJECT

private slots:
    void skinnedWindowRendersWithTheDefaultSkin()
    {
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        Skin* skin = Skin::instance();
        QCOMPARE(skin->GetCurrentSkinId(), QStringLiteral("default"));
        SkinWidget window;
        window.resize(328, 420);
        auto* content = new QFrame(&window);
        auto* stacked = new QStackedLayout(content);
        auto* windowLayout = new QVBoxLayout(&window);
        windowLayout->setContentsMargins(0, 0, 0, 0);
        windowLayout->addWidget(content);
        CPopupStack popups(&window, stacked);

        auto* mainFrame = new QFrame();
        auto* mainLayout = new QVBoxLayout(mainFrame);
        mainLayout->setContentsMargins(0, 0, 0, 0);
        auto* title = new QFrame(mainFrame);
        title->setObjectName(QStringLiteral("titleBar"));
        auto* titleLayout = new QHBoxLayout(title);
        auto* close = new CPushButtonInGroup(title);
        close->setObjectName(QStringLiteral("btnClose"));
        titleLayout->addWidget(close);
        auto* logo = new QLabel(title);
        logo->setPixmap(skin->getImage(Skin::ImageLogo));
        titleLayout->addWidget(logo, 1);
        skin->ApplyCss(title, Skin::CssTitleBar);

        auto* pages = new CStackWidget(mainFrame);
        pages->setObjectName(QStringLiteral("frameTabsContent"));
        skin->ApplyCss(pages, Skin::CssPageStack);
        auto* page = new CTabBase();
        page->HeaderTitle()->setText(QStringLiteral("My Music"));
        page->HeaderIcon()->setPixmap(skin->getImage(Skin::ImageLogo).scaled(24, 24));
        auto* text = new QLabel(skin->getHtml(2));
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
        page->ContentLayout()->addWidget(new QPushButton(QStringLiteral("Sync")), 1, Qt::AlignTop);
        pages->AddWidget(page, true, true, false);
        mainLayout->addWidget(title);
        mainLayout->addWidget(pages, 1);
        popups.Push(mainFrame);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(20);

        const QImage plain = window.grab().toImage();
        QCOMPARE(plain.size(), QSize(328, 420));
        QHash<QRgb, int> colours;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x)
                ++colours[plain.pixel(x, y) & 0xffffff];
        // The skin's colours are there (window frame, page background, header), and it is not one flat area.
        const double pixels = 328 * 420;
        QVERIFY2(colours.value(0x1b1e23) / pixels > 0.01, "window background of the skin missing");
        QVERIFY2(colours.value(0x22262c) / pixels > 0.2, "page background of the skin missing");
        QVERIFY2(colours.value(0x2b3038) / pixels > 0.02, "page header of the skin missing");
        QVERIFY(colours.size() > 50);
        QCOMPARE(window.contentsMargins(), skin->GetContentsMargins());
        QVERIFY(!window.contentsMargins().isNull());

        // A note over it: the fader darkens the page around the note's frame.
        popups.Push(new CPopupNote(CTranslatedStringDesc(QStringLiteral("Playlist saved"))));
        QTest::qWait(20);
        const QPoint corner(window.width() - 12, window.height() - 12);
        QVERIFY(qGray(window.grab().toImage().pixel(corner)) < qGray(plain.pixel(corner)));
    }
};

SV_TEST_MAIN(TestScreenshot)
#include "tst_screenshot.moc"
