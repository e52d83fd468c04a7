#pragma once
// Base of the frameless top-level windows: the window is moved by dragging it anywhere that does not
// take the mouse itself, and resized by dragging its edges.
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

// Qt::WindowStaysOnTopHint when on, else no flag.
Qt::WindowFlags GetOnTopWindowFlags(bool on);

class MovableWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MovableWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~MovableWidget() override;

    // Edge resizing of the frameless window (off at construction).
    void setResizable(bool on);
    bool isResizable() const { return m_resizable; }
    // While set, drags do not move the window (a maximised window).
    void setMoveDisabled(bool disabled);
    bool isMoveDisabled() const { return m_moveDisabled; }
    // Presses on this widget (or inside it) never move the window.
    void setClientWidget(QWidget* widget);
    QWidget* clientWidget() const { return m_clientWidget; }
    // Stay on top of other windows, keeping the window's place and visibility.
    void toggleOnTop(bool on);

    // Width of the band along the edges that resizes the window.
    static constexpr int ResizeBorder = 5;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum Edge
    {
        EdgeNone = 0,
        EdgeLeft = 0x1,
        EdgeTop = 0x2,
        EdgeRight = 0x4,
        EdgeBottom = 0x8
    };

    int EdgesAt(const QPoint& pos) const;
    void UpdateCursor(int edges);
    bool IsOnClientWidget(const QPoint& pos) const;

    bool m_resizable = false;
    bool m_moveDisabled = false;
    QPointer<QWidget> m_clientWidget;

    enum { DragNone, DragMove, DragResize } m_drag = DragNone;
    int m_dragEdges = EdgeNone;
    QPoint m_pressGlobal;
    QRect m_pressGeometry;  // client area, for resizing
    QPoint m_pressPos;      // frame position, for moving
    bool m_cursorSet = false;
};
