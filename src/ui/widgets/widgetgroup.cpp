#include "ui/widgets/widgetgroup.h"

#include <QEvent>
#include <QStyle>
#include <QVariant>
#include <QWidget>

#include "core/log.h"

namespace {

const char kHoveredProperty[] = "groupHovered";
const char kActiveProperty[] = "groupActive";

void Repolish(QWidget* widget)
{
    // Property selectors of style sheets are evaluated at polish time only.
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    widget->update();
}

} // namespace

CWidgetGroup::CWidgetGroup(QObject* parent, QWidget* host, bool hostIsMember)
    : QObject(parent), m_host(host)
{
    if (!host) {
        WriteLog("CWidgetGroup::CWidgetGroup: no host");
        return;
    }
    host->installEventFilter(this);
    if (QWidget* window = host->window(); window != host)
        window->installEventFilter(this);
    m_active = HostActive();
    if (hostIsMember)
        AddWidget(host, false);
}

CWidgetGroup::~CWidgetGroup() = default;

bool CWidgetGroup::HostActive() const
{
    return m_host && m_host->isActiveWindow();
}

void CWidgetGroup::Watch(QWidget* widget)
{
    if (m_watched.contains(widget))
        return;
    m_watched.append(widget);
    if (widget != m_host && (!m_host || widget != m_host->window()))
        widget->installEventFilter(this);
    connect(widget, &QObject::destroyed, this, [this](QObject* object) {
        m_watched.removeAll(object);
        if (m_under.removeAll(object))
            SetStates(!m_under.isEmpty(), m_active);
    });
}

void CWidgetGroup::AddWidget(QWidget* widget, bool withChildren)
{
    if (!widget) {
        WriteLog("CWidgetGroup::AddWidget: no widget");
        return;
    }
    m_members.append(widget);
    Watch(widget);
    if (withChildren) {
        const QList<QWidget*> children = widget->findChildren<QWidget*>();
        for (QWidget* child : children)
            Watch(child);
    }
    if (widget->underMouse() && !m_under.contains(widget))
        m_under.append(widget);
    ApplyTo(widget);
    SetStates(!m_under.isEmpty(), m_active);
}

void CWidgetGroup::ApplyTo(QWidget* widget)
{
    widget->setProperty(kHoveredProperty, m_hovered);
    widget->setProperty(kActiveProperty, m_active);
    if (!qobject_cast<CPushButtonInGroup*>(widget))
        Repolish(widget);
}

void CWidgetGroup::SetStates(bool hovered, bool active)
{
    if (hovered == m_hovered && active == m_active)
        return;
    m_hovered = hovered;
    m_active = active;
    for (const QPointer<QWidget>& member : qAsConst(m_members)) {
        if (member)
            ApplyTo(member);
    }
    emit WhenStateChanged();
}

bool CWidgetGroup::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Enter:
        if (m_watched.contains(watched) && !m_under.contains(watched)) {
            m_under.append(watched);
            SetStates(true, m_active);
        }
        break;
    case QEvent::Leave:
        if (m_under.removeAll(watched))
            SetStates(!m_under.isEmpty(), m_active);
        break;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        SetStates(m_hovered, event->type() == QEvent::WindowActivate);
        break;
    case QEvent::Hide:
        // A hidden window gets no Leave event.
        if (m_host && watched == m_host->window()) {
            m_under.clear();
            SetStates(false, m_active);
        }
        break;
    default:
        break;
    }
    return false;
}

CPushButtonInGroup::CPushButtonInGroup(QWidget* parent)
    : QPushButton(parent)
{
}

void CPushButtonInGroup::SetGroupHovered(bool on)
{
    if (m_groupHovered == on)
        return;
    m_groupHovered = on;
    Repolish();
}

void CPushButtonInGroup::SetGroupActive(bool on)
{
    if (m_groupActive == on)
        return;
    m_groupActive = on;
    Repolish();
}

void CPushButtonInGroup::Repolish()
{
    ::Repolish(this);
}
