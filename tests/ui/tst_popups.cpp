#include "support/testmain.h"

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QProxyStyle>
#include <QPushButton>
#include <QSettings>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "manualuiclock.h"
#include "support/testapplicationobject.h"
#include "ui/popups/popupmenuwidget.h"
#include "ui/popups/popupnote.h"
#include "ui/popups/popupoperationprogress.h"
#include "ui/popups/popupquestion.h"
#include "ui/popups/popupselectskin.h"
#include "ui/popups/popupstack.h"
#include "ui/skin/skin.h"
#include "ui/widgets/bilevelcapacitywidget.h"

namespace {

// The asker's side of the popups.
class CReceiver : public QObject
{
    Q_OBJECT
public:
    int quits = 0;
    int cancels = 0;
    QList<bool> answers;
    QStringList skins;
public slots:
    void QuitApp() { ++quits; }
    void OnAnswer(bool approved) { answers.append(approved); }
    void OnCancel() { ++cancels; }
    void OnSkin(const QString& id) { skins.append(id); }
};

void ClickRow(QListWidget* list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(row)).center());
}

CTranslatedStringDesc Text(const char* text)
{
    return CTranslatedStringDesc(QString::fromLatin1(text));
}

// Some desktop styles activate list items on a single click: a click then reports both "clicked"
// and "activated".
class CSingleClickStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        return hint == SH_ItemView_ActivateItemOnSingleClick ? 1 : QProxyStyle::styleHint(hint, option, widget, data);
    }
};

} // namespace

class TestPopups : public QObject
{
    Q_OBJECT

    QWidget* m_window = nullptr;
    CPopupStack* m_stack = nullptr;
    QFrame* m_bottom = nullptr;
    SvTest::CTestApplicationObject* m_app = nullptr;

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        m_window = new QWidget();
        m_window->resize(360, 480);
        auto* content = new QFrame(m_window);
        auto* stacked = new QStackedLayout(content);
        (new QVBoxLayout(m_window))->addWidget(content);
        m_stack = new CPopupStack(m_window, stacked);
        m_bottom = new QFrame();
        m_stack->Push(m_bottom);
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
        QCOMPARE(note->property("popupFlags").toInt(), PopupFramed | PopupCloseOnOutside);
        m_stack->Push(note);
        // The time runs from the moment the note is on screen.
        QTRY_COMPARE(clock.Pending(), QList<qint64>({expected}));
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
        const bool stored = ticked && yes;
        CReceiver receiver;
        auto* question = new CPopupQuestion(QStringLiteral("quit_app"), CPopupQuestion::QuestionDontAskBox, false,
                                            &receiver, SLOT(OnAnswer(bool)), Text("Would you like to quit?"));
        m_stack->Push(question);
        QVERIFY(question->DontAskBox()->isVisibleTo(question));
        QVERIFY(!question->DontAskBox()->isChecked());
        question->DontAskBox()->setChecked(ticked);
        QTest::mouseClick(yes ? question->YesButton() : question->NoButton(), Qt::LeftButton);
        QCOMPARE(receiver.answers, QList<bool>({yes}));
        QCOMPARE(QSettings().contains(QStringLiteral("questions/q_quit_app")), stored);
        QCOMPARE(CPopupQuestion::IsDontAsk(QStringLiteral("quit_app"), false), stored);
        QCOMPARE(CPopupQuestion::IsDontAsk(QStringLiteral("quit_app"), true), true);
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
        QCOMPARE(receiver.quits, 0);
        ask()->close();  // closing any other way is no approval either
        QCOMPARE(receiver.quits, 0);
        ask();
        QCOMPARE(m_stack->PopUpTo(m_bottom), S_OK);  // the window rejects its popups
        QCOMPARE(receiver.quits, 0);
        QTest::mouseClick(ask()->YesButton(), Qt::LeftButton);
        QCOMPARE(receiver.quits, 1);
    }

    void menuTriggersTheClickedAction()
    {
        QAction first(QStringLiteral("&First"));
        QAction disabled(QStringLiteral("Disabled"));
        disabled.setEnabled(false);
        QAction checked(QStringLiteral("Checked"));
        checked.setCheckable(true);
        checked.setChecked(true);
        QSignalSpy disabledSpy(&disabled, &QAction::triggered);
        QSignalSpy firstSpy(&first, &QAction::triggered);
        QWidget* topAtTrigger = nullptr;
        connect(&first, &QAction::triggered, this, [&]() { topAtTrigger = m_stack->GetTopWidget(); });

        auto* menu = new CPopupMenuWidget({&first, &disabled, &checked});
        QListWidget* list = menu->List();
        CSingleClickStyle singleClick;
        list->setStyle(&singleClick);
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(0)->text(), QStringLiteral("First"));
        QCOMPARE(list->item(2)->checkState(), Qt::Checked);
        m_stack->Push(menu);
        QTRY_VERIFY(list->isVisible());
        ClickRow(list, 1);
        QCOMPARE(disabledSpy.count(), 0);
        QCOMPARE(m_stack->GetTopWidget(), menu);
        // The menu is gone before the action runs, so what the action opens lies on top.
        ClickRow(list, 0);
        QVERIFY(topAtTrigger && topAtTrigger != menu);
        QCOMPARE(firstSpy.count(), 1);
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
        progress->ShowProgress(150);
        QCOMPARE(progress->ProgressBar()->UsedValue(), 100.0);
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

    void skinPickerReportsTheChosenId()
    {
        CReceiver receiver;
        const QString current = Skin::instance()->GetCurrentSkinId();
        auto* picker = new CPopupSelectSkin(current, &receiver, SLOT(OnSkin(QString)));
        QListWidget* list = picker->List();
        CSingleClickStyle singleClick;
        list->setStyle(&singleClick);
        QCOMPARE(list->count(), Skin::instance()->GetSkins().size());
        QCOMPARE(list->item(0)->checkState(), Qt::Checked);
        m_stack->Push(picker);
        QTRY_VERIFY(list->isVisible());
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("CPopupSelectSkin::OnItemClicked: id[%1]").arg(current)));
        ClickRow(list, 0);
        QCOMPARE(receiver.skins, QStringList({current}));
        QVERIFY(m_stack->GetTopWidget() != picker);
    }
};

SV_TEST_MAIN(TestPopups)
#include "tst_popups.moc"
