#pragma once
// A translucent overlay that covers its parent (unless a layout places it) and holds one widget in
// its centre, such as a busy wheel over a form that waits for an answer.
#include <QColor>
#include <QWidget>

#include "ui/widgets/progressrollingwheel.h"

class CFaderWidget : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor fadeColor READ FadeColor WRITE SetFadeColor)
public:
    explicit CFaderWidget(QWidget* parent = nullptr);

    QColor FadeColor() const { return m_fadeColor; }
    void SetFadeColor(const QColor& color);

protected:
    // The held widget, centred in the overlay.
    void SetContent(QWidget* content);
    QWidget* Content() const { return m_content; }

    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FollowParent();
    void PlaceContent();

    QWidget* m_content = nullptr;
    QColor m_fadeColor = QColor(0, 0, 0, 96);
};

template <class T>
class CFaderWidgetT : public CFaderWidget
{
public:
    explicit CFaderWidgetT(QWidget* parent = nullptr) : CFaderWidget(parent), m_widget(new T(this))
    {
        SetContent(m_widget);
    }

    T* Widget() const { return m_widget; }

private:
    T* m_widget;
};
