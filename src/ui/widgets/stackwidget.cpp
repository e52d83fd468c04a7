#include "ui/widgets/stackwidget.h"

#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QTimer>

#include "core/log.h"

CStackWidget::CStackWidget(QWidget* parent)
    : QFrame(parent)
{
}

CStackWidget::~CStackWidget()
{
    // The pages die with the base class, after the members they would report to.
    for (QWidget* page : qAsConst(m_pages))
        disconnect(page, nullptr, this, nullptr);
    m_sliding = false;
    if (m_animation) {
        m_animation->disconnect(this);
        m_animation->stop();
    }
}

QWidget* CStackWidget::widget(int index) const
{
    return (index >= 0 && index < m_pages.size()) ? m_pages.at(index) : nullptr;
}

int CStackWidget::indexOf(QWidget* page) const
{
    return m_pages.indexOf(page);
}

bool CStackWidget::IsAnimating() const
{
    return m_animation && m_animation->state() == QAbstractAnimation::Running;
}

void CStackWidget::AddWidget(QWidget* page, bool deleteOnRemoval, bool makeCurrent, bool animated)
{
    if (!page) {
        WriteLog("CStackWidget::AddWidget: no widget");
        return;
    }
    if (!m_pages.contains(page)) {
        if (page == m_leaving)
            m_leaving.clear();
        page->hide();
        page->setParent(this);
        page->setGeometry(contentsRect());
        m_pages.append(page);
        connect(page, &QObject::destroyed, this, &CStackWidget::OnPageDestroyed, Qt::UniqueConnection);
    }
    if (deleteOnRemoval)
        m_deleteOnRemoval.insert(page);
    else
        m_deleteOnRemoval.remove(page);
    if (makeCurrent)
        SetCurrentWidget(page, animated);
}

void CStackWidget::SetCurrentWidget(QWidget* page, bool animated)
{
    if (page && !m_pages.contains(page)) {
        WriteLog("CStackWidget::SetCurrentWidget: not a page of the stack");
        return;
    }
    FinishAnimation();
    if (page == m_current && !m_leaving)
        return;

    QWidget* from = m_current ? m_current.data() : m_leaving.data();
    const bool forward = m_current ? m_pages.indexOf(page) >= m_pages.indexOf(m_current) : m_leavingForward;
    m_current = page;
    if (page) {
        page->setGeometry(contentsRect());
        page->raise();
    }
    if (animated && page && from && from != page && isVisible() && m_duration > 0) {
        StartSlide(from, page, forward);
        return;
    }
    if (from && from != page)
        from->hide();
    ReleaseLeaving();
    if (page)
        page->show();
    emit WhenWidgetActivated(page);
}

void CStackWidget::StartSlide(QWidget* from, QWidget* to, bool forward)
{
    const QRect area = contentsRect();
    const int shift = forward ? area.width() : -area.width();
    m_slideOut = from;
    m_sliding = true;
    to->move(area.topLeft() + QPoint(shift, 0));
    to->show();
    from->show();

    auto* group = new QParallelAnimationGroup(this);
    auto* in = new QPropertyAnimation(to, "pos", group);
    in->setDuration(m_duration);
    in->setStartValue(area.topLeft() + QPoint(shift, 0));
    in->setEndValue(area.topLeft());
    in->setEasingCurve(QEasingCurve::OutCubic);
    auto* out = new QPropertyAnimation(from, "pos", group);
    out->setDuration(m_duration);
    out->setStartValue(from->pos());
    out->setEndValue(area.topLeft() - QPoint(shift, 0));
    out->setEasingCurve(QEasingCurve::OutCubic);
    group->addAnimation(in);
    group->addAnimation(out);
    connect(group, &QAbstractAnimation::finished, this, &CStackWidget::OnAnimationFinished);
    m_animation = group;
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

void CStackWidget::FinishAnimation()
{
    if (!IsAnimating())
        return;
    // Jump to the end: the running transition completes (and reports) before the next one starts.
    m_animation->setCurrentTime(m_animation->totalDuration());
    if (IsAnimating())
        m_animation->stop();
    if (m_sliding)
        OnAnimationFinished();
}

void CStackWidget::OnAnimationFinished()
{
    if (!m_sliding)
        return;
    m_sliding = false;
    if (m_slideOut && m_slideOut != m_current) {
        m_slideOut->hide();
        m_slideOut->move(contentsRect().topLeft());
    }
    m_slideOut.clear();
    ReleaseLeaving();
    if (m_current)
        m_current->setGeometry(contentsRect());
    emit WhenWidgetActivated(m_current);
}

void CStackWidget::Release(QWidget* page)
{
    disconnect(page, &QObject::destroyed, this, &CStackWidget::OnPageDestroyed);
    page->hide();
    if (m_deleteOnRemoval.remove(page))
        page->deleteLater();
}

void CStackWidget::ReleaseLeaving()
{
    if (!m_leaving)
        return;
    QWidget* page = m_leaving;
    m_leaving.clear();
    page->hide();
    page->move(contentsRect().topLeft());
    if (m_leavingDelete)
        page->deleteLater();
    m_leavingDelete = false;
}

void CStackWidget::Clear(bool keepFirst, bool animated)
{
    FinishAnimation();
    QWidget* first = (keepFirst && !m_pages.isEmpty()) ? m_pages.first() : nullptr;
    QWidget* current = m_current;
    ReleaseLeaving();

    const QList<QWidget*> pages = m_pages;
    m_pages.clear();
    if (first)
        m_pages.append(first);
    for (QWidget* page : pages) {
        if (page == first)
            continue;
        if (page == current && animated && isVisible()) {
            // Stays on view as the page the next one slides in over.
            disconnect(page, &QObject::destroyed, this, &CStackWidget::OnPageDestroyed);
            m_leaving = page;
            m_leavingDelete = m_deleteOnRemoval.remove(page);
            m_leavingForward = !keepFirst;
            continue;
        }
        Release(page);
    }

    if (first) {
        if (current != first) {
            m_current.clear();
            SetCurrentWidget(first, animated);
        }
        return;
    }
    m_current.clear();
    if (m_leaving) {
        // Nothing slid in during this pass of the event loop: take the old page off after all.
        QTimer::singleShot(0, this, &CStackWidget::OnLeavingTimeout);
        return;
    }
    if (current)
        emit WhenWidgetActivated(nullptr);
}

void CStackWidget::OnLeavingTimeout()
{
    if (!m_leaving || IsAnimating())
        return;
    ReleaseLeaving();
    if (!m_current)
        emit WhenWidgetActivated(nullptr);
}

void CStackWidget::OnPageDestroyed(QObject* page)
{
    auto* widget = static_cast<QWidget*>(page);
    m_pages.removeAll(widget);
    m_deleteOnRemoval.remove(widget);
}

void CStackWidget::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    if (IsAnimating())
        FinishAnimation();
    const QRect area = contentsRect();
    for (QWidget* page : qAsConst(m_pages))
        page->setGeometry(area);
    if (m_leaving)
        m_leaving->setGeometry(area);
}
