#pragma once
// The rolling busy wheel: a ring of spokes whose bright spoke turns while it runs. It draws nothing
// while stopped; its colour comes from the style sheet (qproperty-color) or the palette.
#include <QColor>
#include <QTimer>
#include <QWidget>

class CProgressRollingWheelV2 : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ Color WRITE SetColor)
public:
    explicit CProgressRollingWheelV2(QWidget* parent = nullptr);

    // Starts turning (and shows the wheel); Stop halts it and hides it.
    void Start();
    void Stop();
    bool IsRunning() const { return m_timer.isActive(); }

    QColor Color() const;
    void SetColor(const QColor& color);

    QSize sizeHint() const override;

    static constexpr int Spokes = 12;

protected:
    void paintEvent(QPaintEvent* event) override;

private slots:
    void OnTick();

private:
    QTimer m_timer;
    int m_step = 0;
    QColor m_color;
};
