#include "support/testmain.h"

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
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
#include "ui/widgets/progressrollingwheel.h"

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
    QWidget* topAtTrigger = nullptr;
public slots:
    void QuitApp() { ++quits; }
    void OnAnswer(bool approved) { answers.append(approved); }
    void OnCancel() { ++cancels; }
    void OnSkin(const QString& id) { skins.append(id); }
};

} // namespace

class TestPopups : public QObject
{
    Q_OBJECT

    QWidget* m_window = nullptr;
    CPopupStack* m_stack = nullptr;
    QFrame* m_bottom = nullptr;
    SvTest::CTestApplicationObject* m_app = nullptr;

    // Clicks the row of a list popup.
    static void ClickRow(QListWidget* list, int row)
    {
        QListWidgetItem* item = list->item(row);
        QVERIFY(item);
        const QRect rect = list->visualItemRect(item);
        QVERIFY(rect.isValid());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }

private slots:
    void init()
    {
        SvTest::Environment()->Reset();
        m_window = new QWidget();
        m_window->resize(360, 480);
        auto* content = new QFrame(m_window);
        auto* stacked = new QStackedLayout(content);
        auto* layout = new QVBoxLayout(m_window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(content);
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
        QPointer<CPopupNote> note = new CPopupNote(CTranslatedStringDesc(QStringLiteral("Saved")), ms);
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

    void noteClosesWhenClicked()
    {
        CManualUiClock clock;
        QPointer<CPopupNote> note = new CPopupNote(CTranslatedStringDesc(QStringLiteral("Saved")));
        m_stack->Push(note);
        QTRY_VERIFY(note->isVisible());
        QTest::mouseClick(note, Qt::LeftButton, Qt::NoModifier, note->rect().center());
        QTRY_VERIFY(note.isNull());
        clock.Advance(10000);  // the pending close finds no note
    }

    void questionStoresTheAnswer_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("stored");
        QTest::newRow("ticked, yes") << true << true << true;
        QTest::newRow("ticked, no") << true << false << false;
        QTest::newRow("unticked, yes") << false << true << false;
        QTest::newRow("unticked, no") << false << false << false;
    }

    void questionStoresTheAnswer()
    {
        QFETCH(bool, ticked);
        QFETCH(bool, yes);
        QFETCH(bool, stored);
        CReceiver receiver;
        auto* question = new CPopupQuestion(QStringLiteral("quit_app"), CPopupQuestion::QuestionDontAskBox, false,
                                            &receiver, SLOT(OnAnswer(bool)),
                                            CTranslatedStringDesc(QStringLiteral("Would you like to quit?")));
        m_stack->Push(question);
        QVERIFY(!question->DontAskBox()->isChecked());
        question->DontAskBox()->setChecked(ticked);
        QTest::mouseClick(yes ? question->YesButton() : question->NoButton(), Qt::LeftButton);
        QCOMPARE(receiver.answers, QList<bool>({yes}));
        QSettings settings;
        QCOMPARE(settings.contains(QStringLiteral("questions/q_quit_app")), stored);
        QCOMPARE(CPopupQuestion::IsDontAsk(QStringLiteral("quit_app"), false), stored);
        QCOMPARE(CPopupQuestion::IsDontAsk(QStringLiteral("quit_app"), true), true);
    }

    void questionBoxNeedsFlagAndKey()
    {
        CPopupQuestion withBox(QStringLiteral("k"), CPopupQuestion::QuestionDontAskBox, true, nullptr, nullptr,
                               CTranslatedStringDesc(QStringLiteral("?")));
        QVERIFY(withBox.DontAskBox()->isVisibleTo(&withBox));
        // Its first state is the stored answer (here the default).
        QVERIFY(withBox.DontAskBox()->isChecked());
        CPopupQuestion noFlag(QStringLiteral("k"), 0, false, nullptr, nullptr, CTranslatedStringDesc(QStringLiteral("?")));
        QVERIFY(!noFlag.DontAskBox()->isVisibleTo(&noFlag));
        CPopupQuestion noKey(QString(), CPopupQuestion::QuestionDontAskBox, false, nullptr, nullptr,
                             CTranslatedStringDesc(QStringLiteral("?")));
        QVERIFY(!noKey.DontAskBox()->isVisibleTo(&noKey));
    }

    void slotWithoutArgumentsRunsOnYesOnly()
    {
        CReceiver receiver;
        auto ask = [&]() {
            auto* question = new CPopupQuestion(QStringLiteral("quit_app"), CPopupQuestion::QuestionDontAskBox, true,
                                                &receiver, SLOT(QuitApp()),
                                                CTranslatedStringDesc(QStringLiteral("Would you like to quit?")),
                                                CTranslatedStringDesc(QStringLiteral("Sync is in progress.")));
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
        QTest::qWait(10);
        QCOMPARE(receiver.quits, 1);
    }

    void menuTriggersTheClickedAction()
    {
        CReceiver receiver;
        QAction first(QStringLiteral("&First"));
        QAction disabled(QStringLiteral("Disabled"));
        disabled.setEnabled(false);
        QAction separator;
        separator.setSeparator(true);
        QAction hidden(QStringLiteral("Hidden"));
        hidden.setVisible(false);
        QAction checked(QStringLiteral("Checked"));
        checked.setCheckable(true);
        checked.setChecked(true);
        QSignalSpy firstSpy(&first, &QAction::triggered);
        QSignalSpy disabledSpy(&disabled, &QAction::triggered);
        connect(&first, &QAction::triggered, &receiver, [&]() { receiver.topAtTrigger = m_stack->GetTopWidget(); });

        auto* menu = new CPopupMenuWidget({&first, &disabled, &separator, &hidden, &checked});
        QListWidget* list = menu->List();
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->item(0)->text(), QStringLiteral("First"));
        QCOMPARE(list->item(3)->checkState(), Qt::Checked);
        m_stack->Push(menu);
        QTRY_VERIFY(list->isVisible());

        ClickRow(list, 1);
        QCOMPARE(disabledSpy.count(), 0);
        QCOMPARE(m_stack->GetTopWidget(), menu);
        ClickRow(list, 0);
        QCOMPARE(firstSpy.count(), 1);
        // The menu is gone before the action runs, so what it opens lies on top.
        QVERIFY(receiver.topAtTrigger && receiver.topAtTrigger != menu);
    }

    void progressShowsAfterItsDelay()
    {
        CManualUiClock clock;
        CReceiver receiver;
        QPointer<CPopupOperationProgress> progress = new CPopupOperationProgress(
            CTranslatedStringDesc(QStringLiteral("Adding songs")), &receiver, SLOT(OnCancel()));
        QCOMPARE(progress->ShowDelayed(300), S_OK);
        QVERIFY(!m_stack->Contains(progress));
        clock.Advance(299);
        QVERIFY(!m_stack->Contains(progress));
        clock.Advance(1);
        QCOMPARE(m_stack->GetTopWidget(), progress.data());

        progress->ShowProgress(42.5);
        QCOMPARE(progress->ProgressBar()->UsedValue(), 42.5);
        progress->ShowProgress(150);
        QCOMPARE(progress->ProgressBar()->UsedValue(), 100.0);

        QTest::mouseClick(progress->findChild<QPushButton*>(QStringLiteral("cancel")), Qt::LeftButton);
        QCOMPARE(receiver.cancels, 1);
        QTRY_VERIFY(progress.isNull());
    }

    void progressClosedBeforeItsDelayNeverShows()
    {
        CManualUiClock clock;
        auto* progress = new CPopupOperationProgress(CTranslatedStringDesc(QStringLiteral("x")), nullptr, nullptr);
        progress->ShowDelayed(500);
        progress->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        clock.Advance(1000);
        QCOMPARE(m_stack->Count(), 1);

        // Shown at once with 0; without a popup stack it says so.
        auto* now = new CPopupOperationProgress(CTranslatedStringDesc(QStringLiteral("y")), nullptr, nullptr);
        QCOMPARE(now->ShowDelayed(0), S_OK);
        QCOMPARE(m_stack->GetTopWidget(), now);
        m_app->SetPopupStack(nullptr);
        auto* orphan = new CPopupOperationProgress(CTranslatedStringDesc(QStringLiteral("z")), nullptr, nullptr);
        QTest::ignoreMessage(QtDebugMsg, "CPopupOperationProgress::ShowDelayed: no popup stack");
        QCOMPARE(orphan->ShowDelayed(0), E_FAIL);
        delete orphan;
    }

    void wheelPopupTurns()
    {
        auto* popup = new CPopupOperationProgressWheel(CTranslatedStringDesc(QStringLiteral("Signing in..")));
        QVERIFY(popup->Wheel()->IsRunning());
        m_stack->Push(popup);
        QTRY_VERIFY(popup->Wheel()->isVisible());
    }

    void skinPickerReportsTheChosenId()
    {
        CReceiver receiver;
        const QString current = Skin::instance()->GetCurrentSkinId();
        auto* picker = new CPopupSelectSkin(current, &receiver, SLOT(OnSkin(QString)));
        QCOMPARE(picker->property("popupFlags").toInt(), 0x25);
        QListWidget* list = picker->List();
        QCOMPARE(list->count(), Skin::instance()->GetSkins().size());
        QCOMPARE(list->item(0)->data(Qt::UserRole).toString(), current);
        QCOMPARE(list->item(0)->checkState(), Qt::Checked);
        m_stack->Push(picker);
        QTRY_VERIFY(list->isVisible());
        QTest::ignoreMessage(QtDebugMsg, QStringLiteral("CPopupSelectSkin::OnItemClicked: id[%1]").arg(current).toUtf8().constData());
        ClickRow(list, 0);
        QCOMPARE(receiver.skins, QStringList({current}));
        QVERIFY(m_stack->GetTopWidget() != picker);
    }
};

SV_TEST_MAIN(TestPopups)
#include "tst_popups.moc"
