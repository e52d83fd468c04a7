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
    CProbe(QStringList* log, const QString& name, int flags) : m_log(log), m_name(name) { SetPopupFlags(this, flags); }
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

    CProbe* Probe(const QString& name, int flags) { return new CProbe(&m_log, name, flags); }

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
        auto* a = Probe(QStringLiteral("a"), PopupFramed);
        auto* b = Probe(QStringLiteral("b"), 0x25);
        QCOMPARE(m_stack->Push(a), S_OK);
        QCOMPARE(m_stack->Push(b), S_OK);
        QTest::ignoreMessage(QtDebugMsg, "CPopupStack::Push: no widget");
        QCOMPARE(m_stack->Push(nullptr), E_INVALIDARG);
        QTest::ignoreMessage(QtDebugMsg, "CPopupStack::Push: already on stack");
        QCOMPARE(m_stack->Push(a), E_FAIL);
        QCOMPARE(m_stack->Count(), 3);
        QCOMPARE(m_stack->GetTopWidget(), b);
        QTRY_COMPARE(m_log, QStringList({"shown a", "shown b"}));

        b->close();
        QCOMPARE(m_stack->GetTopWidget(), a);
        a->close();
        QCOMPARE(m_stack->GetTopWidget(), m_main);
        // A popup that leaves before the event loop ran is never told it was shown.
        auto* c = Probe(QStringLiteral("c"), PopupFramed);
        m_stack->Push(c);
        c->close();
        QTest::qWait(20);
        QCOMPARE(m_log, QStringList({"shown a", "shown b", "closed b", "closed a", "closed c"}));
    }

    void popUpToClosesEverythingAbove()
    {
        auto* a = Probe(QStringLiteral("a"), PopupFramed);
        QPointer<CProbe> b = Probe(QStringLiteral("b"), PopupFramed);
        QPointer<CProbe> c = Probe(QStringLiteral("c"), 0);
        c->refuseClose = true;  // taken off all the same
        m_stack->Push(a);
        m_stack->Push(b);
        m_stack->Push(c);
        QTRY_COMPARE(m_log.size(), 3);
        m_log.clear();

        QCOMPARE(m_stack->PopUpTo(a), S_OK);
        QCOMPARE(m_stack->GetTopWidget(), a);
        QCOMPARE(m_log, QStringList({"closed c", "closed b"}));
        QTRY_VERIFY(b.isNull() && c.isNull());
        QCOMPARE(m_stack->PopUpTo(m_main), S_OK);
        QCOMPARE(m_stack->GetTopWidget(), m_main);
        QTest::ignoreMessage(QtDebugMsg, "CPopupStack::PopUpTo: not on stack 800700a0");
        QCOMPARE(m_stack->PopUpTo(a), E_INVALIDARG);
    }

    void closedPopupsAreDeletedUnlessDoNotDelete()
    {
        QPointer<CProbe> plain = Probe(QStringLiteral("plain"), PopupFramed);
        QPointer<CProbe> kept = Probe(QStringLiteral("kept"), PopupFramed);
        kept->setProperty("donotdelete", true);
        m_stack->Push(plain);
        m_stack->Push(kept);
        kept->close();
        plain->close();
        QTRY_VERIFY(plain.isNull());
        QTRY_VERIFY(!kept->parentWidget());
        QVERIFY(!kept.isNull() && !kept->isVisible());
        // It can come back on the stack later.
        QCOMPARE(m_stack->Push(kept), S_OK);
        QVERIFY(kept->isVisible());

        // A popup deleted by its owner leaves the stack without being told.
        m_log.clear();
        auto* d = Probe(QStringLiteral("d"), 0);
        m_stack->Push(d);
        delete d;
        delete kept;
        QCOMPARE(m_stack->GetTopWidget(), m_main);
        QTest::qWait(20);
        QVERIFY(m_log.isEmpty());
    }

    void closingByFlags_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("releaseInside");
        QTest::addColumn<bool>("outsideCloses");
        QTest::addColumn<bool>("hasButton");
        QTest::newRow("framed only") << 0x1 << false << false << false;
        QTest::newRow("outside closes") << 0x5 << false << true << false;
        QTest::newRow("released inside") << 0x5 << true << false << false;
        QTest::newRow("close button") << 0x21 << false << false << true;
        QTest::newRow("full set") << 0xA5 << false << true << true;
    }

    void closingByFlags()
    {
        QFETCH(int, flags);
        QFETCH(bool, releaseInside);
        QFETCH(bool, outsideCloses);
        QFETCH(bool, hasButton);
        auto* a = Probe(QStringLiteral("a"), flags);
        SetPopupTitle(a, CTranslatedStringDesc(QStringLiteral("Title of a")));
        m_stack->Push(a);
        QWidget* frame = a->parentWidget();
        QWidget* page = frame->parentWidget();
        QTRY_VERIFY(page->isVisible());
        QCOMPARE(m_window->findChild<QLabel*>(QStringLiteral("popupTitle"))->text(), QStringLiteral("Title of a"));
        auto* button = m_window->findChild<QPushButton*>(QStringLiteral("popupClose"));
        QCOMPARE(button != nullptr, hasButton);

        const QPoint inside = frame->geometry().center();
        const QPoint outside(2, 2);
        QVERIFY(!frame->geometry().contains(outside));
        QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, inside);
        QCOMPARE(m_stack->GetTopWidget(), a);
        QTest::mousePress(page, Qt::LeftButton, Qt::NoModifier, outside);
        QTest::mouseRelease(page, Qt::LeftButton, Qt::NoModifier, releaseInside ? inside : outside);
        QCOMPARE(m_stack->GetTopWidget() != a, outsideCloses);
        if (button && !outsideCloses) {
            QTRY_VERIFY(button->isVisible());
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(m_stack->GetTopWidget(), m_main);
        }
    }
};

SV_TEST_MAIN(TestPopupStack)
#include "tst_popupstack.moc"
