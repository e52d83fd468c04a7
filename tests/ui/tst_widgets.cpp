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
#include "ui/widgets/geometryutils.h"
#include "ui/widgets/movablewidget.h"
#include "ui/widgets/progressrollingwheel.h"
#include "ui/widgets/skinwidget.h"
#include "ui/widgets/stackwidget.h"
#include "ui/widgets/widgetgroup.h"

namespace {

// Press, move by delta, release, all sent to target as a real mouse would after the press; drags
// are measured on the global coordinates.
void Drag(QWidget* target, const QPoint& local, const QPoint& delta)
{
    const QPoint global = target->mapToGlobal(local);
    auto send = [&](QEvent::Type type, const QPoint& offset, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, local + offset, local + offset, global + offset, button, buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    send(QEvent::MouseButtonPress, QPoint(), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, delta, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, delta, Qt::LeftButton, Qt::NoButton);
}

} // namespace

class TestWidgets : public QObject
{
    Q_OBJECT

private slots:
    void geometryHelpers()
    {
        // The fitted size, and the factor in thousandths.
        auto fit = [](QSize size, QSize bounds, bool force) {
            double factor = -1;
            const QSize fitted = FitSizeInto(size, bounds, force, &factor);
            return qMakePair(fitted, qRound(factor * 1000));
        };
        QCOMPARE(fit(QSize(50, 20), QSize(100, 100), false), qMakePair(QSize(50, 20), 1000));
        QCOMPARE(fit(QSize(3, 1), QSize(10, 10), true), qMakePair(QSize(10, 3), 3333));
        QCOMPARE(fit(QSize(1000, 1), QSize(10, 10), false), qMakePair(QSize(10, 1), 10));  // a thin line keeps a pixel
        QCOMPARE(fit(QSize(10, 10), QSize(0, 100), false), qMakePair(QSize(0, 0), 0));

        const QRect rect(10, 20, 100, 90);
        QCOMPARE(AlignRectInRect(rect, QSize(20, 10), 3, 3, false), QRect(90, 100, 20, 10));
        QCOMPARE(AlignRectInRect(rect, QSize(20, 10), 0, 7, false), QRect(10, 20, 20, 10));  // unknown: start
        QCOMPARE(AlignRectInRect(rect, QSize(120, 120), 2, 2, true), QRect(-10, -15, 120, 120));

        QCOMPARE(ElideMiddle(QStringLiteral("abcdef"), 1), QStringLiteral("abcdef"));
        QCOMPARE(ElideMiddle(QStringLiteral("abcdefghij"), 5), QStringLiteral("abc...ij"));
        QCOMPARE(ElideMiddle(QStringLiteral("abcdefghij"), 4), QStringLiteral("ab...ij"));
    }

    void pageStack()
    {
        QWidget host;
        auto* stack = new CStackWidget(&host);
        stack->setGeometry(0, 0, 200, 300);
        stack->SetAnimationDuration(60);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QSignalSpy activated(stack, &CStackWidget::WhenWidgetActivated);
        auto lastActivated = [&activated]() { return activated.last().at(0).value<QWidget*>(); };

        QPointer<QLabel> first = new QLabel();
        QPointer<QLabel> second = new QLabel();
        stack->AddWidget(first, false, false, false);
        stack->AddWidget(first, false, false, false);
        QCOMPARE(stack->count(), 1);
        stack->SetCurrentWidget(first, false);
        QCOMPARE(activated.count(), 1);

        // Activation comes only once the sliding page is in place.
        stack->AddWidget(second, true, true, true);
        QVERIFY(stack->IsAnimating());
        QCOMPARE(activated.count(), 1);
        QTRY_COMPARE(activated.count(), 2);
        QCOMPARE(lastActivated(), second.data());
        QCOMPARE(second->pos(), stack->contentsRect().topLeft());
        QVERIFY(!first->isVisible());

        // Back to the first page: the page deleted on removal goes, the first stays.
        stack->Clear(true, true);
        QTRY_COMPARE(activated.count(), 3);
        QCOMPARE(lastActivated(), first.data());
        QTRY_VERIFY(second.isNull());

        // A tab switch: the old page stays on view until the new one has slid in over it.
        QPointer<QLabel> next = new QLabel();
        stack->Clear(false, true);
        QVERIFY(first->isVisible());
        stack->AddWidget(next, true, true, true);
        QTRY_COMPARE(activated.count(), 4);
        QVERIFY(!first.isNull() && !first->isVisible());
        QCOMPARE(stack->count(), 1);

        // With nothing following, the old page goes at the next pass.
        stack->Clear(false, true);
        QTRY_COMPARE(activated.count(), 5);
        QCOMPARE(lastActivated(), nullptr);
        QTRY_VERIFY(next.isNull());
    }

    void capacityBarClamps()
    {
        CBiLevelCapacityWidget bar;
        bar.SetUsedValue(-5);
        QCOMPARE(bar.UsedValue(), 0.0);
        bar.SetUsedValue(80);
        bar.SetTotalValue(50);
        QCOMPARE(bar.UsedValue(), 50.0);
        bar.SetTotalValue(-10);
        QCOMPARE(bar.UsedValue(), 0.0);
    }

    void capacityBarHitZones_data()
    {
        QTest::addColumn<double>("used");
        QTest::addColumn<double>("required");
        QTest::addColumn<bool>("overflow");
        QTest::addColumn<QList<int>>("zones");  // at x = 10, 70, 130, 190
        QTest::newRow("used, estimated, free") << 25.0 << 25.0 << true << QList<int>({1, 2, 4, 4});
        QTest::newRow("not enough") << 50.0 << 80.0 << true << QList<int>({1, 1, 3, 3});
        QTest::newRow("overflow not marked") << 50.0 << 80.0 << false << QList<int>({1, 1, 2, 2});
    }

    void capacityBarHitZones()
    {
        QFETCH(double, used);
        QFETCH(double, required);
        QFETCH(bool, overflow);
        QFETCH(QList<int>, zones);
        CBiLevelCapacityWidget bar;
        bar.resize(200, 10);
        bar.SetOverflowDetected(overflow);
        bar.SetUsedValue(used);
        bar.SetRequiredValue(required);
        QCOMPARE(bar.HitTest(QPoint(10, 5)), 0);  // not painted yet
        bar.grab();
        const int xs[] = {10, 70, 130, 190};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(bar.HitTest(QPoint(xs[i], 5)), zones.at(i));
        QCOMPARE(bar.HitTest(QPoint(205, 5)), 0);
        // An unchanged value keeps the painted zones; a change drops them until the next paint.
        bar.SetUsedValue(bar.UsedValue());
        QCOMPARE(bar.HitTest(QPoint(10, 5)), zones.at(0));
        bar.SetRequiredValue(required + 1);
        QCOMPARE(bar.HitTest(QPoint(10, 5)), 0);
    }

    void dragMovesAndResizesTheWindowButNotFromItsClient()
    {
        MovableWidget window;
        window.setMinimumSize(150, 100);
        window.resize(300, 200);
        auto* client = new QFrame(&window);
        client->setGeometry(100, 100, 100, 80);
        auto* label = new QLabel(QStringLiteral("handle"), &window);
        window.setClientWidget(client);
        window.move(100, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint start = window.pos();

        Drag(&window, QPoint(298, 50), QPoint(30, 20));  // an edge moves while not resizable
        QTRY_COMPARE(window.pos(), start + QPoint(30, 20));
        QCOMPARE(window.width(), 300);
        // A press that goes up from a child that does not take it moves too.
        Drag(label, QPoint(5, 5), QPoint(-10, 5));
        QTRY_COMPARE(window.pos(), start + QPoint(20, 25));
        const QPoint before = window.pos();
        Drag(client, QPoint(10, 10), QPoint(40, 40));
        QCoreApplication::processEvents();
        QCOMPARE(window.pos(), before);

        window.setResizable(true);
        Drag(&window, QPoint(298, 198), QPoint(40, 30));
        QTRY_COMPARE(window.size(), QSize(340, 230));
        QCOMPARE(window.pos(), before);
        // The left edge keeps the right edge in place and stops at the minimum width.
        const int right = window.geometry().right();
        Drag(&window, QPoint(1, 50), QPoint(500, 0));
        QTRY_COMPARE(window.width(), 150);
        QCOMPARE(window.geometry().right(), right);

    }

    // Last: it sets the application font.
    void skinnedWindowRendersWithTheDefaultSkin()
    {
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        Skin* skin = Skin::instance();
        QCOMPARE(skin->GetCurrentSkinId(), QStringLiteral("default"));
        SkinWidget window;
        window.resize(328, 420);
        auto* content = new QFrame(&window);
        auto* stacked = new QStackedLayout(content);
        (new QVBoxLayout(&window))->addWidget(content);
        CPopupStack popups(&window, stacked);

        auto* mainFrame = new QFrame();
        auto* mainLayout = new QVBoxLayout(mainFrame);
        mainLayout->setContentsMargins(0, 0, 0, 0);
        auto* title = new QFrame(mainFrame);
        title->setObjectName(QStringLiteral("titleBar"));
        (new QHBoxLayout(title))->addWidget(new CPushButtonInGroup(title));
        skin->ApplyCss(title, Skin::CssTitleBar);

        auto* pages = new CStackWidget(mainFrame);
        pages->setObjectName(QStringLiteral("frameTabsContent"));
        skin->ApplyCss(pages, Skin::CssPageStack);
        auto* page = new CTabBase();
        page->HeaderTitle()->setText(QStringLiteral("My Music"));
        page->HeaderIcon()->setPixmap(skin->getImage(Skin::ImageLogo).scaled(24, 24));
        page->ContentLayout()->addWidget(new QLabel(skin->getHtml(2)));
        page->ContentLayout()->addWidget(new CFrameSeparator());
        page->ContentLayout()->addWidget(new CBiLevelCapacityWidget());
        page->ContentLayout()->addWidget(new CProgressRollingWheelV2(), 0, Qt::AlignCenter);
        page->ContentLayout()->addWidget(new QPushButton(QStringLiteral("Sync")), 1, Qt::AlignTop);
        pages->AddWidget(page, true, true, false);
        mainLayout->addWidget(title);
        mainLayout->addWidget(pages, 1);
        popups.Push(mainFrame);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(20);

        const QImage plain = window.grab().toImage();
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
        QVERIFY(!window.contentsMargins().isNull());

        // A note over it: the fader darkens the page around the note's frame.
        popups.Push(new CPopupNote(CTranslatedStringDesc(QStringLiteral("Playlist saved"))));
        QTest::qWait(20);
        const QPoint corner(window.width() - 30, window.height() - 30);
        QVERIFY(qGray(window.grab().toImage().pixel(corner)) < qGray(plain.pixel(corner)));
    }
};

SV_TEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
