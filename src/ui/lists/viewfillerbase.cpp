#include "ui/lists/viewfillerbase.h"

#include <QEvent>
#include <QTimer>

#include "core/coreapplicationobject.h"
#include "core/log.h"

namespace MusicLists {

namespace {

const int kStepsPerTick = 10;
const qint64 kTickBudgetMs = 10;
const qint64 kFillNowBudgetMs = 200;

CViewFillerBase::ClockFunction s_clock = nullptr;

} // namespace

CViewFillerBase::CViewFillerBase(QObject* parent, CListView* view)
    : QObject(parent)
    , m_view(view)
{
    RegisterItemMetaType();
    m_tickTimer = new QTimer(this);
    m_tickTimer->setSingleShot(true);
    connect(m_tickTimer, &QTimer::timeout, this, &CViewFillerBase::OnTickTimer);
    m_pendingInfoTimer = new QTimer(this);
    m_pendingInfoTimer->setSingleShot(true);
    m_pendingInfoTimer->setInterval(0);
    connect(m_pendingInfoTimer, &QTimer::timeout, this, &CViewFillerBase::OnPendingInfoTimer);
    if (CCoreApplicationObject* app = GetCoreApplicationObject()) {
        app->RegisterTimer(m_tickTimer);
        app->RegisterTimer(m_pendingInfoTimer);
    }

    if (!view) {
        WriteLog("MusicLists::CViewFillerBase::CViewFillerBase: no view");
        return;
    }
    view->installEventFilter(this);
    connect(view, &CListView::WhenPendingInfoNeeded, this, &CViewFillerBase::ScheduleGetPendingInfo);
}

CViewFillerBase::~CViewFillerBase() = default;

void CViewFillerBase::SetClock(ClockFunction clock)
{
    s_clock = clock;
}

qint64 CViewFillerBase::Now()
{
    if (s_clock)
        return s_clock();
    static QElapsedTimer monotonic;
    if (!monotonic.isValid())
        monotonic.start();
    return monotonic.elapsed();
}

int CViewFillerBase::TimerDelay()
{
    CCoreApplicationObject* app = GetCoreApplicationObject();
    return app ? qMax(0, app->GetTimerDelay()) : 0;
}

void CViewFillerBase::Start()
{
    m_state = StateIdle;
    m_tickTimer->stop();
    if (m_view && m_view->isVisible())
        ArmTick();
}

void CViewFillerBase::Complete()
{
    m_state = StateComplete;
    m_tickTimer->stop();
    DoComplete();
}

void CViewFillerBase::ScheduleGetPendingInfo()
{
    if (!m_pendingInfoTimer->isActive())
        m_pendingInfoTimer->start(0);
}

void CViewFillerBase::StopGetPendingInfo()
{
    m_pendingInfoTimer->stop();
}

void CViewFillerBase::FillNow()
{
    if (m_state == StateComplete || !m_view)
        return;
    const qint64 start = Now();
    while (m_state != StateComplete && Now() - start < kFillNowBudgetMs) {
        if (TimerDelay() > 0)
            break;
        RunTick();
    }
    if (m_state != StateComplete && m_view && (m_tickTimer->isActive() || m_view->isVisible()))
        ArmTick();
}

void CViewFillerBase::OnTickTimer()
{
    RunTick();
    if (m_state != StateComplete)
        ArmTick();
}

void CViewFillerBase::RunTick()
{
    if (m_state == StateComplete)
        return;
    if (!m_view) {
        // Nothing left to fill; DoComplete is not run, as it may expect the view.
        WriteLog("MusicLists::CViewFillerBase::RunTick: view gone");
        m_state = StateComplete;
        m_tickTimer->stop();
        return;
    }
    ++m_ticksRun;
    if (m_state == StateIdle) {
        m_state = StateFilling;
        DoStart();
        if (m_state != StateFilling)
            return;
        if (m_view)
            m_view->Clear();
    }
    const qint64 start = Now();
    for (int step = 0; step < kStepsPerTick; ++step) {
        if (Now() - start >= kTickBudgetMs || TimerDelay() > 0)
            break;
        const int result = DoTick();
        // DoTick may have restarted or ended the pass itself.
        if (m_state != StateFilling)
            return;
        if (result != 1) {
            Complete();
            return;
        }
    }
}

void CViewFillerBase::ArmTick()
{
    m_tickTimer->start(TimerDelay());
}

void CViewFillerBase::OnPendingInfoTimer()
{
    DoGetPendingInfo();
}

bool CViewFillerBase::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::Show) {
        OnViewShown();
        if (m_state != StateComplete && !m_tickTimer->isActive())
            ArmTick();
    }
    return QObject::eventFilter(watched, event);
}

int CViewFillerBase::DoTick()
{
    return 0;
}

void CViewFillerBase::DoStart()
{
    m_itemCount = 0;
    m_itemIndex = 0;
}

void CViewFillerBase::DoComplete()
{
}

int CViewFillerBase::GetSourceCount() const
{
    return 0;
}

void CViewFillerBase::AddItemToView(int index)
{
    Q_UNUSED(index);
}

void CViewFillerBase::DoGetPendingInfo()
{
}

void CViewFillerBase::OnViewShown()
{
}

} // namespace MusicLists
