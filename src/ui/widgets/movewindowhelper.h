#pragma once
// Moves a top-level window when a drag starts on the window itself or on one of the given areas
// (a title bar, a logo), for windows that are not MovableWidgets themselves.
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>

class QWidget;

class CMoveWindowHelper : public QObject
{
    Q_OBJECT
public:
    // Filters the events of window and of each area; lives as long as window.
    CMoveWindowHelper(QWidget* window, const QList<QWidget*>& areas = QList<QWidget*>());
    ~CMoveWindowHelper() override;

    void AddArea(QWidget* area);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    QList<QPointer<QWidget>> m_areas;
    bool m_dragging = false;
    QPoint m_pressGlobal;
    QPoint m_pressWindowPos;
};
