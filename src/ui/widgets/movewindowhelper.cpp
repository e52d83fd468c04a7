#include "ui/widgets/movewindowhelper.h"

#include <QMouseEvent>
#include <QWidget>

#include "core/log.h"

CMoveWindowHelper::CMoveWindowHelper(QWidget* window, const QList<QWidget*>& areas)
    : QObject(window), m_window(window)
{
    if (!window) {
        WriteLog("CMoveWindowHelper::CMoveWindowHelper: no window");
        return;
    }
    window->installEventFilter(this);
    for (QWidget* area : areas)
        AddArea(area);
}

CMoveWindowHelper::~CMoveWindowHelper() = default;

void CMoveWindowHelper::AddArea(QWidget* area)
{
    if (!area || area == m_window)
        return;
    for (const QPointer<QWidget>& known : qAsConst(m_areas)) {
        if (known == area)
            return;
    }
    m_areas.append(area);
    area->installEventFilter(this);
}

bool CMoveWindowHelper::eventFilter(QObject*, QEvent* event)
{
    if (!m_window)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // A press that a child took for itself never reaches here; one that bubbled up starts a drag.
        if (mouse->button() == Qt::LeftButton) {
            m_dragging = true;
            m_pressGlobal = mouse->globalPos();
            m_pressWindowPos = m_window->window()->pos();
            return true;
        }
        break;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_dragging && (mouse->buttons() & Qt::LeftButton)) {
            QWidget* top = m_window->window();
            if (!(top->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
                top->move(m_pressWindowPos + mouse->globalPos() - m_pressGlobal);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (m_dragging && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_dragging = false;
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}
