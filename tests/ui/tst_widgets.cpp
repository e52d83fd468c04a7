#include "support/testmain.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/actionmap.h"
#include "ui/tabbase.h"
#include "ui/widgets/bilevelcapacitywidget.h"
#include "ui/widgets/faderwidget.h"
#include "ui/widgets/geometryutils.h"
#include "ui/widgets/movablewidget.h"
#include "ui/widgets/movewindowhelper.h"
#include "ui/widgets/stackwidget.h"
#include "ui/widgets/widgetgroup.h"

namespace {

// Sends a mouse event with explicit global coordinates (drags are measured on them).
void SendMouse(QWidget* target, QEvent::Type type, const QPoint& local, const QPoint& global,
               Qt::MouseButtons buttons = Qt::LeftButton)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, local, global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Press at a point of target, move the mouse by delta, release; as with a real mouse, the widget that
// got the press gets the rest, and what it does not take goes up to its parents.
void Drag(QWidget* target, const QPoint& local, const QPoint& delta)
{
    const QPoint global = target->mapToGlobal(local);
    SendMouse(target, QEvent::MouseButtonPress, local, global);
    SendMouse(target, QEvent::MouseMove, local + delta, global + delta);
    SendMouse(target, QEvent::MouseButtonRelease, local + delta, global + delta, Qt::NoButton);
}

} // namespace

class TestWidgets : public QObject
{
    Q_OBJECT

private slots:
    // ---- geometry helpers ----

    void fitSizeInto_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("bounds");
        QTest::addColumn<bool>("force");
        QTest::addColumn<QSize>("expected");
        QTest::addColumn<double>("factor");
        QTest::newRow("fits, kept") << QSize(50, 20) << QSize(100, 100) << false << QSize(50, 20) << 1.0;
        QTest::newRow("fits, enlarged") << QSize(50, 20) << QSize(100, 100) << true << QSize(100, 40) << 2.0;
        QTest::newRow("too wide") << QSize(400, 100) << QSize(200, 200) << false << QSize(200, 50) << 0.5;
        QTest::newRow("too tall") << QSize(100, 400) << QSize(200, 200) << false << QSize(50, 200) << 0.5;
        QTest::newRow("exact") << QSize(200, 100) << QSize(200, 100) << true << QSize(200, 100) << 1.0;
        QTest::newRow("rounding") << QSize(3, 1) << QSize(10, 10) << true << QSize(10, 3) << 10.0 / 3;
        QTest::newRow("thin line keeps a pixel") << QSize(1000, 1) << QSize(10, 10) << false << QSize(10, 1) << 0.01;
        QTest::newRow("empty size") << QSize(0, 10) << QSize(100, 100) << true << QSize(0, 10) << 1.0;
        QTest::newRow("empty bounds") << QSize(10, 10) << QSize(0, 100) << false << QSize(0, 0) << 0.0;
    }

    void fitSizeInto()
    {
        QFETCH(QSize, size);
        QFETCH(QSize, bounds);
        QFETCH(bool, force);
        QFETCH(QSize, expected);
        QFETCH(double, factor);
        double got = -1;
        QCOMPARE(FitSizeInto(size, bounds, force, &got), expected);
        QVERIFY(qAbs(got - factor) < 1e-9);
        QCOMPARE(FitSizeInto(size, bounds, force), expected);
    }

    void alignRectInRect_data()
    {
        QTest::addColumn<int>("horizontal");
        QTest::addColumn<int>("vertical");
        QTest::addColumn<bool>("relative");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("expected");
        const QSize s(20, 10);
        QTest::newRow("start start") << 1 << 1 << false << s << QRect(10, 20, 20, 10);
        QTest::newRow("centre centre") << 2 << 2 << false << s << QRect(50, 60, 20, 10);
        QTest::newRow("end end") << 3 << 3 << false << s << QRect(90, 100, 20, 10);
        QTest::newRow("end start relative") << 3 << 1 << true << s << QRect(80, 0, 20, 10);
        QTest::newRow("unknown counts as start") << 0 << 7 << false << s << QRect(10, 20, 20, 10);
        QTest::newRow("larger than rect, centred") << 2 << 2 << true << QSize(120, 120) << QRect(-10, -15, 120, 120);
    }

    void alignRectInRect()
    {
        QFETCH(int, horizontal);
        QFETCH(int, vertical);
        QFETCH(bool, relative);
        QFETCH(QSize, size);
        QFETCH(QRect, expected);
        QCOMPARE(AlignRectInRect(QRect(10, 20, 100, 90), size, horizontal, vertical, relative), expected);
    }

    void elideMiddle_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("expected");
        QTest::newRow("short enough") << "abcdef" << 6 << "abcdef";
        QTest::newRow("n below 2") << "abcdef" << 1 << "abcdef";
        QTest::newRow("n 2") << "abcdef" << 2 << "a...f";
        QTest::newRow("odd n") << "abcdefghij" << 5 << "abc...ij";
        QTest::newRow("even n") << "abcdefghij" << 4 << "ab...ij";
        QTest::newRow("empty") << "" << 3 << "";
    }

    void elideMiddle()
    {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(QString, expected);
        QCOMPARE(ElideMiddle(text, n), expected);
    }

    // ---- page stack ----

    void pageStackAddsOnceAndSwitches()
    {
        QWidget host;
        auto* stack = new CStackWidget(&host);
        stack->setGeometry(0, 0, 200, 300);
        stack->SetAnimationDuration(60);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QSignalSpy activated(stack, &CStackWidget::WhenWidgetActivated);

        auto* first = new QLabel(QStringLiteral("first"));
        QPointer<QLabel> second = new QLabel(QStringLiteral("second"));
        stack->AddWidget(first, false, false, false);
        stack->AddWidget(first, false, false, false);
        QCOMPARE(stack->count(), 1);
        QCOMPARE(first->parentWidget(), stack);
        QVERIFY(!first->isVisible());
        QCOMPARE(first->geometry(), stack->contentsRect());

        stack->SetCurrentWidget(first, false);
        QCOMPARE(stack->currentWidget(), first);
        QVERIFY(first->isVisible());
        QCOMPARE(activated.count(), 1);

        // The slide: activation comes once the new page is in place.
        stack->AddWidget(second, true, true, true);
        QCOMPARE(stack->currentWidget(), second.data());
        QVERIFY(stack->IsAnimating());
        QCOMPARE(activated.count(), 1);
        QTRY_COMPARE(activated.count(), 2);
        QCOMPARE(activated.last().at(0).value<QWidget*>(), second.data());
        QCOMPARE(second->pos(), stack->contentsRect().topLeft());
        QVERIFY(!first->isVisible());

        // Back to the first page: the other one is deleted on removal, the first stays.
        stack->Clear(true, true);
        QCOMPARE(stack->count(), 1);
        QTRY_COMPARE(activated.count(), 3);
        QCOMPARE(activated.last().at(0).value<QWidget*>(), first);
        QCOMPARE(stack->currentWidget(), first);
        QTRY_VERIFY(second.isNull());

        // None current.
        stack->SetCurrentWidget(nullptr, false);
        QVERIFY(!first->isVisible());
        QCOMPARE(activated.last().at(0).value<QWidget*>(), nullptr);
    }

    void pageStackClearAndReplace()
    {
        QWidget host;
        auto* stack = new CStackWidget(&host);
        stack->setGeometry(0, 0, 200, 300);
        stack->SetAnimationDuration(60);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QSignalSpy activated(stack, &CStackWidget::WhenWidgetActivated);

        QPointer<QLabel> kept = new QLabel();
        QPointer<QLabel> dropped = new QLabel();
        stack->AddWidget(kept, false, true, false);
        stack->AddWidget(dropped, true, false, false);
        stack->Clear(false, false);
        QCOMPARE(stack->count(), 0);
        QCOMPARE(stack->currentWidget(), nullptr);
        QCOMPARE(activated.last().at(0).value<QWidget*>(), nullptr);
        QTRY_VERIFY(dropped.isNull());
        QVERIFY(!kept.isNull());

        // A tab switch: clear with animation, then the new page slides in over the old one.
        stack->AddWidget(kept, false, true, false);
        auto* next = new QLabel();
        activated.clear();
        stack->Clear(false, true);
        QVERIFY(kept->isVisible());
        stack->AddWidget(next, false, true, true);
        QVERIFY(stack->IsAnimating());
        QTRY_COMPARE(activated.count(), 1);
        QCOMPARE(activated.at(0).at(0).value<QWidget*>(), next);
        QVERIFY(!kept->isVisible());
        QCOMPARE(stack->count(), 1);

        // Cleared with animation and nothing following: the old page goes at the next pass.
        activated.clear();
        stack->Clear(false, true);
        QTRY_COMPARE(activated.count(), 1);
        QVERIFY(!next->isVisible());
        QCOMPARE(activated.at(0).at(0).value<QWidget*>(), nullptr);
    }

    // ---- capacity bar ----

    void capacityBarClamps()
    {
        CBiLevelCapacityWidget bar;
        QCOMPARE(bar.TotalValue(), 100.0);
        QVERIFY(bar.IsOverflowDetected());
        bar.SetUsedValue(150);
        QCOMPARE(bar.UsedValue(), 100.0);
        bar.SetUsedValue(-5);
        QCOMPARE(bar.UsedValue(), 0.0);
        bar.SetUsedValue(80);
        bar.SetTotalValue(50);
        QCOMPARE(bar.UsedValue(), 50.0);
        bar.SetRequiredValue(-1);
        QCOMPARE(bar.RequiredValue(), 0.0);
        bar.SetTotalValue(-10);
        QCOMPARE(bar.TotalValue(), 0.0);
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
        QTest::newRow("all free") << 0.0 << 0.0 << true << QList<int>({4, 4, 4, 4});
        QTest::newRow("all used") << 100.0 << 0.0 << true << QList<int>({1, 1, 1, 1});
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
        QCOMPARE(bar.HitTest(QPoint(10, 11)), 0);
        // An unchanged value keeps the painted zones; a change drops them until the next paint.
        bar.SetUsedValue(bar.UsedValue());
        QCOMPARE(bar.HitTest(QPoint(10, 5)), zones.at(0));
        bar.SetRequiredValue(required + 1);
        QCOMPARE(bar.HitTest(QPoint(10, 5)), 0);
    }

    // ---- frameless window moving ----

    void dragMovesTheWindowButNotFromItsClient()
    {
        MovableWidget window;
        window.resize(300, 200);
        auto* client = new QFrame(&window);
        client->setGeometry(100, 100, 100, 80);
        auto* label = new QLabel(QStringLiteral("handle"), &window);
        label->setGeometry(10, 10, 80, 20);
        window.setClientWidget(client);
        window.move(100, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint start = window.pos();

        Drag(&window, QPoint(50, 50), QPoint(30, 20));
        QTRY_COMPARE(window.pos(), start + QPoint(30, 20));
        // A press that bubbles up from a child that does not take it moves too.
        Drag(label, QPoint(5, 5), QPoint(-10, 5));
        QTRY_COMPARE(window.pos(), start + QPoint(20, 25));
        const QPoint before = window.pos();
        Drag(client, QPoint(10, 10), QPoint(40, 40));
        QTest::qWait(10);
        QCOMPARE(window.pos(), before);
        window.setMoveDisabled(true);
        Drag(&window, QPoint(50, 50), QPoint(40, 40));
        QTest::qWait(10);
        QCOMPARE(window.pos(), before);
    }

    void edgesResizeTheWindow()
    {
        MovableWidget window;
        window.setMinimumSize(150, 100);
        window.resize(300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Drag(&window, QPoint(298, 100), QPoint(40, 0));
        QCOMPARE(window.width(), 300);  // not resizable yet: that was a move
        window.setResizable(true);
        const QRect before = window.geometry();
        Drag(&window, QPoint(window.width() - 2, window.height() - 2), QPoint(40, 30));
        QTRY_COMPARE(window.size(), QSize(340, 230));
        QCOMPARE(window.geometry().topLeft(), before.topLeft());
        // The left edge keeps the right edge in place and stops at the minimum width.
        const int right = window.geometry().right();
        Drag(&window, QPoint(1, 100), QPoint(500, 0));
        QTRY_COMPARE(window.width(), 150);
        QCOMPARE(window.geometry().right(), right);
    }

    void moveHelperMovesFromItsAreas()
    {
        QWidget window;
        window.resize(300, 200);
        auto* title = new QFrame(&window);
        title->setGeometry(0, 0, 300, 30);
        auto* button = new QPushButton(title);
        button->setGeometry(250, 5, 40, 20);
        auto* body = new QFrame(&window);
        body->setGeometry(0, 30, 300, 170);
        new CMoveWindowHelper(title);
        window.move(50, 50);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint start = window.pos();
        Drag(title, QPoint(20, 10), QPoint(15, 25));
        QTRY_COMPARE(window.pos(), start + QPoint(15, 25));
        const QPoint before = window.pos();
        Drag(button, QPoint(5, 5), QPoint(30, 30));  // the button takes its press
        Drag(body, QPoint(5, 5), QPoint(30, 30));    // not an area
        QTest::qWait(10);
        QCOMPARE(window.pos(), before);
    }

    // ---- groups, fader, page frame, actions ----

    void widgetGroupSharesHoverAndActiveState()
    {
        QFrame bar;
        auto* close = new CPushButtonInGroup(&bar);
        auto* minimize = new CPushButtonInGroup(&bar);
        CWidgetGroup group(&bar, &bar);
        group.AddWidget(close);
        group.AddWidget(minimize);
        QSignalSpy changed(&group, &CWidgetGroup::WhenStateChanged);
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(close, &enter);
        QVERIFY(group.IsHovered());
        QVERIFY(minimize->IsGroupHovered());
        QVERIFY(minimize->property("groupHovered").toBool());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(close, &leave);
        QVERIFY(!minimize->IsGroupHovered());
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&bar, &activate);
        QVERIFY(close->IsGroupActive());
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(&bar, &deactivate);
        QVERIFY(!close->IsGroupActive());
        QCOMPARE(changed.count(), 4);
    }

    void faderCoversItsParent()
    {
        QWidget parent;
        parent.resize(200, 100);
        auto* fader = new CFaderWidgetT<CProgressRollingWheelV2>(&parent);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QCOMPARE(fader->geometry(), parent.rect());
        parent.resize(300, 150);
        QCOMPARE(fader->geometry(), parent.rect());
        QCOMPARE(fader->Widget()->geometry().center(), fader->rect().center());
        fader->Widget()->Start();
        QVERIFY(fader->Widget()->IsRunning());
        fader->Widget()->Stop();
        QVERIFY(!fader->Widget()->IsRunning());
    }

    void tabPagesAreStyledByName()
    {
        QWidget window;
        window.setStyleSheet(QStringLiteral("QFrame#frameTabHeader { min-height: 37px; max-height: 37px; }"
                                            "QLabel#frameTabHeaderTitle { min-width: 123px; }"
                                            "QFrame#frameTabFooter { min-height: 50px; }"));
        auto* layout = new QHBoxLayout(&window);
        auto* withHeader = new CTabBase(&window);
        auto* noHeader = new CTabBase(&window, true);
        layout->addWidget(withHeader);
        layout->addWidget(noHeader);
        noHeader->ContentLayout()->addWidget(new QLabel(QStringLiteral("content")));
        window.resize(600, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(withHeader->HeaderTitle()->objectName(), QStringLiteral("frameTabHeaderTitle"));
        QCOMPARE(withHeader->HeaderTitle()->width(), 123);
        QCOMPARE(withHeader->HeaderIcon()->objectName(), QStringLiteral("frameTabHeaderIcon"));
        // Without a header the empty header frame takes its size from the style sheet alone.
        QVERIFY(!noHeader->HeaderIcon() && !noHeader->HeaderTitle());
        QVERIFY(noHeader->HeaderFrame()->findChildren<QWidget*>().isEmpty());
        QCOMPARE(noHeader->HeaderFrame()->height(), 37);
        QCOMPARE(withHeader->HeaderFrame()->height(), 37);
        QCOMPARE(noHeader->ContentFrame()->objectName(), QStringLiteral("frameTabFooter"));
        QVERIFY(noHeader->ContentFrame()->geometry().top() >= noHeader->HeaderFrame()->geometry().bottom());
    }

    void actionMapById()
    {
        QObject parent;
        CActionMap map;
        QAction* first = map.AddAction(&parent, 4);
        QCOMPARE(first->parent(), &parent);
        QCOMPARE(first->data().toInt(), 4);
        QCOMPARE(map.GetAction(4), first);
        QCOMPARE(map.GetAction(5), nullptr);
        QAction* replaced = map.AddAction(&parent, 4);
        QCOMPARE(map[4], replaced);
        QAction* other = map.AddAction(&parent, 1);
        QCOMPARE(map.Actions(), QList<QAction*>({other, replaced}));
        delete replaced;
        QCOMPARE(map.GetAction(4), nullptr);
    }
};

SV_TEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
