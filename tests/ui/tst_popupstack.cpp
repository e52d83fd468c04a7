#include "support/testmain.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "ui/popups/popupstack.h"

namespace {

// A popup that writes what the stack does to it into a shared log.
class CProbe : public QFrame
{
    Q_OBJECT
public:
    CProbe(QStringList* log, const QString& name, int flags) : m_log(log), m_name(name)
    {
        SetPopupFlags(this, flags);
        setObjectName(name);
    }
    QSize sizeHint() const override { return QSize(120, 60); }
    Q_INVOKABLE void HandleShown() { m_log->append(QStringLiteral("shown ") + m_name); }
    Q_INVOKABLE void HandleClosed() { m_log->append(QStringLiteral("closed ") + m_name); }
    bool refuseClose = false;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (refuseClose)
            event->ignore();
    }

private:
    QStringList* m_log;
    QString m_name;
};

} // namespace

class TestPopupStack : public QObject
{
    Q_OBJECT

    QWidget* m_window = nullptr;
    QFrame* m_main = nullptr;
    CPopupStack* m_stack = nullptr;
    QStringList m_log;

    // The page (fader) a framed popup lies on.
    static QWidget* PageOf(QWidget* popup) { return popup->parentWidget()->parentWidget(); }

private slots:
    void init()
    {
        m_log.clear();
        m_window = new QWidget();
        m_window->resize(320, 480);
        auto* content = new QFrame(m_window);
        auto* stacked = new QStackedLayout(content);
        auto* layout = new QVBoxLayout(m_window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(content);
        m_stack = new CPopupStack(m_window, stacked);
        m_main = new QFrame();
        QCOMPARE(m_stack->Push(m_main), S_OK);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    void cleanup()
    {
        delete m_window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void pushAndCloseInOrder()
    {
        auto* a = new CProbe(&m_log, QStringLiteral("a"), PopupFramed);
        auto* b = new CProbe(&m_log, QStringLiteral("b"), 0x25);
        QCOMPARE(m_stack->Push(a), S_OK);
        QCOMPARE(m_stack->Push(b), S_OK);
        QCOMPARE(m_stack->Count(), 3);
        QCOMPARE(m_stack->GetTopWidget(), b);
        QTRY_COMPARE(m_log, QStringList({"shown a", "shown b"}));
        QVERIFY(b->isVisible());

        b->close();
        QCOMPARE(m_stack->GetTopWidget(), a);
        QCOMPARE(m_stack->Count(), 2);
        a->close();
        QCOMPARE(m_stack->GetTopWidget(), m_main);
        QTest::qWait(20);
        QCOMPARE(m_log, QStringList({"shown a", "shown b", "closed b", "closed a"}));

        // A popup that leaves before the event loop ran is never told it was shown.
        auto* c = new CProbe(&m_log, QStringLiteral("c"), PopupFramed);
        m_stack->Push(c);
        c->close();
        QTest::qWait(20);
        QCOMPARE(m_log.mid(4), QStringList({"closed c"}));
    }

    void refusalsAreLogged()
    {
        QTest::ignoreMessage(QtDebugMsg, "CPopupStack::Push: no widget");
        QCOMPARE(m_stack->Push(nullptr), E_INVALIDARG);
        auto* a = new CProbe(&m_log, QStringLiteral("a"), PopupFramed);
        QCOMPARE(m_stack->Push(a), S_OK);
        QTest::ignoreMessage(QtDebugMsg, "CPopupStack::Push: already on stack");
        QCOMPARE(m_stack->Push(a), E_FAIL);
        QTest::ignoreMessage(QtDebugMsg, "CPopupStack::Push: already on stack");
        QCOMPARE(m_stack->Push(m_main), E_FAIL);
        QCOMPARE(m_stack->Count(), 2);
        QTRY_COMPARE(m_log, QStringList({"shown a"}));
    }

    void popUpToClosesEverythingAbove()
    {
        auto* a = new CProbe(&m_log, QStringLiteral("a"), PopupFramed);
        auto* b = new CProbe(&m_log, QStringLiteral("b"), PopupFramed);
        auto* c = new CProbe(&m_log, QStringLiteral("c"), 0);
        c->refuseClose = true;  // taken off all the same
        m_stack->Push(a);
        m_stack->Push(b);
        m_stack->Push(c);
        QTRY_COMPARE(m_log.size(), 3);
        m_log.clear();
        QPointer<CProbe> guardB(b), guardC(c);

        QCOMPARE(m_stack->PopUpTo(a), S_OK);
        QCOMPARE(m_stack->GetTopWidget(), a);
        QCOMPARE(m_log, QStringList({"closed c", "closed b"}));
        QTRY_VERIFY(guardB.isNull() && guardC.isNull());

        QCOMPARE(m_stack->PopUpTo(m_main), S_OK);
        QCOMPARE(m_stack->GetTopWidget(), m_main);
        QTest::ignoreMessage(QtDebugMsg, "CPopupStack::PopUpTo: not on stack");
        QCOMPARE(m_stack->PopUpTo(a), E_INVALIDARG);
    }

    void closedPopupsAreDeletedUnlessDoNotDelete()
    {
        QPointer<CProbe> plain = new CProbe(&m_log, QStringLiteral("plain"), PopupFramed);
        QPointer<CProbe> kept = new CProbe(&m_log, QStringLiteral("kept"), PopupFramed);
        kept->setProperty("donotdelete", true);
        m_stack->Push(plain);
        m_stack->Push(kept);
        kept->close();
        plain->close();
        QTRY_VERIFY(plain.isNull());
        QTRY_VERIFY(!kept->parentWidget());
        QVERIFY(!kept.isNull());
        QVERIFY(!kept->isVisible());
        QCOMPARE(m_stack->GetTopWidget(), m_main);

        // It can come back on the stack later.
        QCOMPARE(m_stack->Push(kept), S_OK);
        QCOMPARE(m_stack->GetTopWidget(), kept.data());
        QVERIFY(kept->isVisible());
    }

    void deletedPopupLeavesTheStack()
    {
        auto* a = new CProbe(&m_log, QStringLiteral("a"), PopupFramed);
        auto* b = new CProbe(&m_log, QStringLiteral("b"), 0);
        m_stack->Push(a);
        m_stack->Push(b);
        delete b;
        delete a;
        QCOMPARE(m_stack->Count(), 1);
        QCOMPARE(m_stack->GetTopWidget(), m_main);
        QTest::qWait(20);
        QVERIFY(m_log.isEmpty());
    }

    void outsidePressCloses_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("releaseInside");
        QTest::addColumn<bool>("closes");
        QTest::newRow("framed only") << 0x1 << false << false;
        QTest::newRow("close button only") << 0x21 << false << false;
        QTest::newRow("outside closes") << 0x5 << false << true;
        QTest::newRow("outside closes, full set") << 0xA5 << false << true;
        QTest::newRow("released inside") << 0x5 << true << false;
    }

    void outsidePressCloses()
    {
        QFETCH(int, flags);
        QFETCH(bool, releaseInside);
        QFETCH(bool, closes);
        auto* a = new CProbe(&m_log, QStringLiteral("a"), flags);
        m_stack->Push(a);
        QWidget* page = PageOf(a);
        QTRY_VERIFY(page->isVisible());
        const QPoint outside(2, 2);
        const QPoint inside = a->parentWidget()->geometry().center();
        QVERIFY(!a->parentWidget()->geometry().contains(outside));
        QTest::mousePress(page, Qt::LeftButton, Qt::NoModifier, outside);
        QTest::mouseRelease(page, Qt::LeftButton, Qt::NoModifier, releaseInside ? inside : outside);
        QCOMPARE(m_stack->GetTopWidget() != a, closes);

        // A press inside the frame never closes it.
        if (!closes) {
            QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, inside);
            QCOMPARE(m_stack->GetTopWidget(), a);
        }
    }

    void closeButtonOnlyWith0x20_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("hasButton");
        QTest::newRow("1") << 0x1 << false;
        QTest::newRow("5") << 0x5 << false;
        QTest::newRow("0x21") << 0x21 << true;
        QTest::newRow("0x65") << 0x65 << true;
        QTest::newRow("0") << 0x0 << false;
    }

    void closeButtonOnlyWith0x20()
    {
        QFETCH(int, flags);
        QFETCH(bool, hasButton);
        auto* a = new CProbe(&m_log, QStringLiteral("a"), flags);
        SetPopupTitle(a, CTranslatedStringDesc(QStringLiteral("Title of a")));
        m_stack->Push(a);
        auto* button = m_window->findChild<QPushButton*>(QStringLiteral("popupClose"));
        QCOMPARE(button != nullptr, hasButton);
        auto* title = m_window->findChild<QLabel*>(QStringLiteral("popupTitle"));
        QCOMPARE(title != nullptr, bool(flags & (PopupFramed | PopupCloseButton)));
        if (title)
            QCOMPARE(title->text(), QStringLiteral("Title of a"));
        if (button) {
            QTRY_VERIFY(button->isVisible());
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(m_stack->GetTopWidget(), m_main);
        }
    }

    void frameSizeFollowsTheFlags_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("fullWidth");
        QTest::addColumn<bool>("fullHeight");
        QTest::newRow("centred") << 0x1 << false << false;
        QTest::newRow("full width") << 0x3 << true << false;
        QTest::newRow("full height") << 0x41 << false << true;
    }

    void frameSizeFollowsTheFlags()
    {
        QFETCH(int, flags);
        QFETCH(bool, fullWidth);
        QFETCH(bool, fullHeight);
        auto* a = new CProbe(&m_log, QStringLiteral("a"), flags);
        m_stack->Push(a);
        QWidget* page = PageOf(a);
        QTRY_COMPARE(page->size(), m_window->size());
        const QRect frame = a->parentWidget()->geometry();
        QCOMPARE(frame.center(), page->rect().center());
        QCOMPARE(frame.width() > page->width() - 20, fullWidth);
        QCOMPARE(frame.height() > page->height() - 20, fullHeight);
        // Flag 0 lies over the whole window with no frame of its own.
        auto* b = new CProbe(&m_log, QStringLiteral("b"), 0);
        m_stack->Push(b);
        QTRY_COMPARE(b->size(), m_window->size());
    }
};

SV_TEST_MAIN(TestPopupStack)
#include "tst_popupstack.moc"
