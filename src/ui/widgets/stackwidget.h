#pragma once
// The animated page stack: pages fill the stack, one is current, and a change of page can slide the
// new page in over the old one.
#include <QFrame>
#include <QList>
#include <QPointer>
#include <QSet>

class QParallelAnimationGroup;

class CStackWidget : public QFrame
{
    Q_OBJECT
public:
    explicit CStackWidget(QWidget* parent = nullptr);
    ~CStackWidget() override;

    int count() const { return m_pages.size(); }
    QWidget* widget(int index) const;
    int indexOf(QWidget* page) const;
    QWidget* currentWidget() const { return m_current; }

    // Adds a page (reparented, hidden, fitted to the stack) once; with makeCurrent it becomes current.
    // A page deleted on removal is deleted when a Clear takes it off the stack.
    void AddWidget(QWidget* page, bool deleteOnRemoval, bool makeCurrent, bool animated);
    // Makes a page of the stack current (null: none), at once or with the slide transition.
    // WhenWidgetActivated follows once the page is in place.
    void SetCurrentWidget(QWidget* page, bool animated);
    // Removes every page, or every page but the first, which then becomes current.
    void Clear(bool keepFirst, bool animated);

    // Length of the slide transition.
    void SetAnimationDuration(int ms) { m_duration = ms; }
    int AnimationDuration() const { return m_duration; }
    bool IsAnimating() const;

signals:
    void WhenWidgetActivated(QWidget* page);

protected:
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void OnAnimationFinished();
    void OnPageDestroyed(QObject* page);
    void OnLeavingTimeout();

private:
    void FinishAnimation();
    void StartSlide(QWidget* from, QWidget* to, bool forward);
    void Release(QWidget* page);
    void ReleaseLeaving();

    QList<QWidget*> m_pages;
    QSet<QWidget*> m_deleteOnRemoval;
    QPointer<QWidget> m_current;
    // A page taken off by an animated Clear stays on view until the next page slides in over it.
    QPointer<QWidget> m_leaving;
    bool m_leavingDelete = false;
    bool m_leavingForward = true;  // back to the first page slides the other way
    bool m_sliding = false;
    QPointer<QWidget> m_slideOut;
    QPointer<QParallelAnimationGroup> m_animation;
    int m_duration = 250;
};
