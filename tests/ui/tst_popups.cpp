#include "support/testmain.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMap>
#include <QProxyStyle>
#include <QPushButton>
#include <QSettings>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "support/testapplicationobject.h"
#include "ui/popups/popupmenuwidget.h"
#include "ui/popups/popupnote.h"
#include "ui/popups/popupoperationprogress.h"
#include "ui/popups/popupquestion.h"
#include "ui/popups/popupselectskin.h"
#include "ui/popups/popupstack.h"
#include "ui/skin/skin.h"
#include "ui/uiclock.h"

namespace {

// A toolkit clock whose delays run only when the test moves the time on.
class CManualUiClock : public IUiClock
{
public:
    CManualUiClock() { SetUiClock(this); }
    ~CManualUiClock() override { SetUiClock(nullptr); }
    void SingleShot(int ms, QObject* context, std::function<void()> fn) override
    {
        const QPointer<QObject> guard(context);
        m_pending.insert({m_now + qMax(0, ms), m_sequence++}, [=]() {
            if (!context || guard)
                fn();
        });
    }
    void Advance(qint64 ms)
    {
        const qint64 target = m_now + ms;
        while (!m_pending.isEmpty() && m_pending.firstKey().first <= target) {
            m_now = m_pending.firstKey().first;
            m_pending.take(m_pending.firstKey())();
        }
        m_now = target;
    }
    int Count() const { return m_pending.size(); }

private:
    qint64 m_now = 0;
    int m_sequence = 0;
    QMap<QPair<qint64, int>, std::function<void()>> m_pending;
};

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
    void closeEvent(QCloseEvent* event) override { event->setAccepted(!refuseClose); }

private:
    QStringList* m_log;
    QString m_name;
};

// The asker's side of the popups.
class CReceiver : public QObject
{
    Q_OBJECT
public:
    int quits = 0, cancels = 0;
    QList<bool> answers;
    QStringList skins;
public slots:
    void QuitApp() { ++quits; }
    void OnAnswer(bool approved) { answers.append(approved); }
    void OnCancel() { ++cancels; }
    void OnSkin(const QString& id) { skins.append(id); }
};

// Some desktop styles activate list items on a single click: a click then reports both "clicked"
// and "activated", and the popup must still act once.
class CSingleClickStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        return hint == SH_ItemView_ActivateItemOnSingleClick ? 1 : QProxyStyle::styleHint(hint, option, widget, data);
    }
};

void ClickRow(QListWidget* list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(row)).center());
}

CTranslatedStringDesc Text(const char* text)
{
    return CTranslatedStringDesc(QString::fromLatin1(text));
}

} // namespace

class TestPopups : public QObject
{
    Q_OBJECT

    QWidget* m_window = nullptr;
    CPopupStack* m_stack = nullptr;
    QFrame* m_main = nullptr;
    SvTest::CTestApplicationObject* m_app = nullptr;
    QStringList m_log;

    CProbe* Probe(const QString& name, int flags) { return new CProbe(&m_log, name, flags); }

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        m_log.clear();
        m_window = new QWidget();
        m_window->resize(320, 480);
        auto* content = new QFrame(m_window);
        auto* stacked = new QStackedLayout(content);
        (new QVBoxLayout(m_window))->addWidget(content);
        m_stack = new CPopupStack(m_window, stacked);
        m_main = new QFrame();
        QCOMPARE(m_stack->Push(m_main), S_OK);
        m_app = new SvTest::CTestApplicationObject();
        m_app->SetPopupStack(m_stack);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    void cleanup()
    {
        delete m_app;
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
        QVERIFY(!kept->isVisible());
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
        QTest::newRow("outside closes") << 0x5 << false << true << false;
        QTest::newRow("released inside") << 0x5 << true << false << false;
        QTest::newRow("close button") << 0x21 << false << false << true;
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
        QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, inside);
        QCOMPARE(m_stack->GetTopWidget(), a);
        QTest::mousePress(page, Qt::LeftButton, Qt::NoModifier, outside);
        QTest::mouseRelease(page, Qt::LeftButton, Qt::NoModifier, releaseInside ? inside : outside);
        QCOMPARE(m_stack->GetTopWidget() != a, outsideCloses);
        if (button) {
            QTRY_VERIFY(button->isVisible());
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(m_stack->GetTopWidget(), m_main);
        }
    }

    void noteDisplayTime_data()
    {
        QTest::addColumn<int>("ms");
        QTest::addColumn<int>("expected");
        QTest::newRow("default") << 0 << 5000;
        QTest::newRow("negative") << -20 << 5000;
        QTest::newRow("given") << 1200 << 1200;
    }

    void noteDisplayTime()
    {
        QFETCH(int, ms);
        QFETCH(int, expected);
        CManualUiClock clock;
        QPointer<CPopupNote> note = new CPopupNote(Text("Saved"), ms);
        m_stack->Push(note);
        // The time runs from the moment the note is on screen.
        QTRY_COMPARE(clock.Count(), 1);
        clock.Advance(expected - 1);
        QCOMPARE(m_stack->GetTopWidget(), note.data());
        clock.Advance(1);
        QVERIFY(m_stack->GetTopWidget() != note);
        QTRY_VERIFY(note.isNull());
    }

    void questionStoresTheAnswer_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("yes");
        QTest::newRow("ticked, yes") << true << true;
        QTest::newRow("ticked, no") << true << false;
        QTest::newRow("unticked, yes") << false << true;
    }

    void questionStoresTheAnswer()
    {
        QFETCH(bool, ticked);
        QFETCH(bool, yes);
        CReceiver receiver;
        auto* question = new CPopupQuestion(QStringLiteral("quit_app"), CPopupQuestion::QuestionDontAskBox, false,
                                            &receiver, SLOT(OnAnswer(bool)), Text("Would you like to quit?"));
        m_stack->Push(question);
        question->DontAskBox()->setChecked(ticked);
        QTest::mouseClick(yes ? question->YesButton() : question->NoButton(), Qt::LeftButton);
        QCOMPARE(receiver.answers, QList<bool>({yes}));
        QCOMPARE(QSettings().contains(QStringLiteral("questions/q_quit_app")), ticked && yes);
        QCOMPARE(CPopupQuestion::IsDontAsk(QStringLiteral("quit_app"), false), ticked && yes);
    }

    void slotWithoutArgumentsRunsOnYesOnly()
    {
        CReceiver receiver;
        auto ask = [&]() {
            auto* question = new CPopupQuestion(QStringLiteral("quit_app"), CPopupQuestion::QuestionDontAskBox, true,
                                                &receiver, SLOT(QuitApp()), Text("Would you like to quit?"),
                                                Text("Sync is in progress."));
            m_stack->Push(question);
            return question;
        };
        QTest::mouseClick(ask()->NoButton(), Qt::LeftButton);
        ask()->close();  // closing any other way is no approval either
        ask();
        QCOMPARE(m_stack->PopUpTo(m_main), S_OK);  // the window rejects its popups
        QCOMPARE(receiver.quits, 0);
        QTest::mouseClick(ask()->YesButton(), Qt::LeftButton);
        QCOMPARE(receiver.quits, 1);
    }

    void listPopupsActOnceOnAClick()
    {
        QAction first(QStringLiteral("&First"));
        QAction disabled(QStringLiteral("Disabled"));
        disabled.setEnabled(false);
        QSignalSpy disabledSpy(&disabled, &QAction::triggered);
        QSignalSpy firstSpy(&first, &QAction::triggered);
        QWidget* topAtTrigger = nullptr;
        connect(&first, &QAction::triggered, this, [&]() { topAtTrigger = m_stack->GetTopWidget(); });
        CSingleClickStyle singleClick;
        auto* menu = new CPopupMenuWidget({&first, &disabled});
        menu->List()->setStyle(&singleClick);
        QCOMPARE(menu->List()->item(0)->text(), QStringLiteral("First"));  // without its mnemonic
        m_stack->Push(menu);
        QTRY_VERIFY(menu->List()->isVisible());
        ClickRow(menu->List(), 1);
        QCOMPARE(disabledSpy.count(), 0);
        // The menu is gone before the action runs, so what the action opens lies on top.
        ClickRow(menu->List(), 0);
        QVERIFY(topAtTrigger && topAtTrigger != menu);
        QCOMPARE(firstSpy.count(), 1);

        CReceiver receiver;
        const QString current = Skin::instance()->GetCurrentSkinId();
        auto* picker = new CPopupSelectSkin(current, &receiver, SLOT(OnSkin(QString)));
        picker->List()->setStyle(&singleClick);
        QCOMPARE(picker->List()->item(0)->checkState(), Qt::Checked);
        m_stack->Push(picker);
        QTRY_VERIFY(picker->List()->isVisible());
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("CPopupSelectSkin::OnItemClicked: id[%1]").arg(current)));
        ClickRow(picker->List(), 0);
        QCOMPARE(receiver.skins, QStringList({current}));
        QVERIFY(m_stack->GetTopWidget() != picker);
    }

    void progressShowsAfterItsDelay()
    {
        CManualUiClock clock;
        CReceiver receiver;
        QPointer<CPopupOperationProgress> progress =
            new CPopupOperationProgress(Text("Adding songs"), &receiver, SLOT(OnCancel()));
        QCOMPARE(progress->ShowDelayed(300), S_OK);
        clock.Advance(299);
        QVERIFY(!m_stack->Contains(progress));
        clock.Advance(1);
        QCOMPARE(m_stack->GetTopWidget(), progress.data());
        QTest::mouseClick(progress->findChild<QPushButton*>(QStringLiteral("cancel")), Qt::LeftButton);
        QCOMPARE(receiver.cancels, 1);
        QTRY_VERIFY(progress.isNull());

        // Closed before its delay it never shows.
        auto* early = new CPopupOperationProgress(Text("x"), nullptr, nullptr);
        early->ShowDelayed(500);
        early->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        clock.Advance(1000);
        QCOMPARE(m_stack->Count(), 1);
    }
};

SV_TEST_MAIN(TestPopups)
#include "tst_popups.moc"
