#include "ui/widgets/movablewidget.h"

#include <QMouseEvent>

Qt::WindowFlags GetOnTopWindowFlags(bool on)
{
    return on ? Qt::WindowFlags(Qt::WindowStaysOnTopHint) : Qt::WindowFlags();
}

MovableWidget::MovableWidget(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
}

MovableWidget::~MovableWidget() = default;

void MovableWidget::setResizable(bool on)
{
    m_resizable = on;
    // Hovering the edges must show the resize cursors even with no button pressed.
    setMouseTracking(on);
    if (!on)
        UpdateCursor(EdgeNone);
}

void MovableWidget::setMoveDisabled(bool disabled)
{
    m_moveDisabled = disabled;
    if (disabled && m_drag == DragMove)
        m_drag = DragNone;
}

void MovableWidget::setClientWidget(QWidget* widget)
{
    m_clientWidget = widget;
}

void MovableWidget::toggleOnTop(bool on)
{
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == on)
        return;
    const bool wasVisible = isVisible();
    const QRect geometry = this->geometry();
    // Changing the flags re-creates the native window, which hides it.
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (wasVisible) {
        setGeometry(geometry);
        show();
    }
}

bool MovableWidget::IsOnClientWidget(const QPoint& pos) const
{
    if (!m_clientWidget)
        return false;
    QWidget* hit = childAt(pos);
    return hit && (hit == m_clientWidget || m_clientWidget->isAncestorOf(hit));
}

int MovableWidget::EdgesAt(const QPoint& pos) const
{
    if (!m_resizable || !isWindow() || (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return EdgeNone;
    int edges = EdgeNone;
    if (pos.x() < ResizeBorder)
        edges |= EdgeLeft;
    else if (pos.x() >= width() - ResizeBorder)
        edges |= EdgeRight;
    if (pos.y() < ResizeBorder)
        edges |= EdgeTop;
    else if (pos.y() >= height() - ResizeBorder)
        edges |= EdgeBottom;
    return edges;
}

void MovableWidget::UpdateCursor(int edges)
{
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (edges == (EdgeLeft | EdgeTop) || edges == (EdgeRight | EdgeBottom))
        shape = Qt::SizeFDiagCursor;
    else if (edges == (EdgeRight | EdgeTop) || edges == (EdgeLeft | EdgeBottom))
        shape = Qt::SizeBDiagCursor;
    else if (edges & (EdgeLeft | EdgeRight))
        shape = Qt::SizeHorCursor;
    else if (edges & (EdgeTop | EdgeBottom))
        shape = Qt::SizeVerCursor;
    if (shape == Qt::ArrowCursor) {
        if (m_cursorSet) {
            unsetCursor();
            m_cursorSet = false;
        }
        return;
    }
    setCursor(shape);
    m_cursorSet = true;
}

void MovableWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressGlobal = event->globalPos();
    m_pressGeometry = window()->geometry();
    m_pressPos = window()->pos();
    const int edges = EdgesAt(event->pos());
    if (edges != EdgeNone) {
        m_drag = DragResize;
        m_dragEdges = edges;
    } else if (!m_moveDisabled && !IsOnClientWidget(event->pos())) {
        m_drag = DragMove;
    } else {
        m_drag = DragNone;
    }
    event->accept();
}

void MovableWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || m_drag == DragNone) {
        if (m_drag == DragNone && !(event->buttons() & Qt::LeftButton))
            UpdateCursor(EdgesAt(event->pos()));
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint delta = event->globalPos() - m_pressGlobal;
    QWidget* target = window();
    if (m_drag == DragMove) {
        target->move(m_pressPos + delta);
        event->accept();
        return;
    }

    // Resize: the dragged edges follow the mouse within the window's size limits.
    QRect rect = m_pressGeometry;
    const QSize minSize = target->minimumSize().expandedTo(QSize(2 * ResizeBorder, 2 * ResizeBorder));
    const QSize maxSize = target->maximumSize();
    if (m_dragEdges & EdgeLeft) {
        const int w = qBound(minSize.width(), rect.width() - delta.x(), maxSize.width());
        rect.setLeft(rect.right() + 1 - w);
    } else if (m_dragEdges & EdgeRight) {
        rect.setWidth(qBound(minSize.width(), rect.width() + delta.x(), maxSize.width()));
    }
    if (m_dragEdges & EdgeTop) {
        const int h = qBound(minSize.height(), rect.height() - delta.y(), maxSize.height());
        rect.setTop(rect.bottom() + 1 - h);
    } else if (m_dragEdges & EdgeBottom) {
        rect.setHeight(qBound(minSize.height(), rect.height() + delta.y(), maxSize.height()));
    }
    target->setGeometry(rect);
    event->accept();
}

void MovableWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_drag != DragNone) {
        m_drag = DragNone;
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void MovableWidget::leaveEvent(QEvent* event)
{
    if (m_drag == DragNone)
        UpdateCursor(EdgeNone);
    QWidget::leaveEvent(event);
}
