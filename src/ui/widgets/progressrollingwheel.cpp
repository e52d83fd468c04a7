#include "ui/widgets/progressrollingwheel.h"

#include <QPainter>
#include <QtMath>

CProgressRollingWheelV2::CProgressRollingWheelV2(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("progressWheel"));
    setAttribute(Qt::WA_TranslucentBackground);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_timer.setInterval(80);
    connect(&m_timer, &QTimer::timeout, this, &CProgressRollingWheelV2::OnTick);
}

void CProgressRollingWheelV2::Start()
{
    show();
    if (!m_timer.isActive())
        m_timer.start();
    update();
}

void CProgressRollingWheelV2::Stop()
{
    m_timer.stop();
    hide();
}

QColor CProgressRollingWheelV2::Color() const
{
    return m_color.isValid() ? m_color : palette().color(QPalette::WindowText);
}

void CProgressRollingWheelV2::SetColor(const QColor& color)
{
    m_color = color;
    update();
}

QSize CProgressRollingWheelV2::sizeHint() const
{
    return QSize(32, 32);
}

void CProgressRollingWheelV2::OnTick()
{
    m_step = (m_step + 1) % Spokes;
    update();
}

void CProgressRollingWheelV2::paintEvent(QPaintEvent*)
{
    if (!m_timer.isActive())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = qMin(width(), height());
    painter.translate(width() / 2.0, height() / 2.0);
    const qreal outer = side / 2.0;
    const qreal inner = outer * 0.45;
    QPen pen;
    pen.setWidthF(qMax<qreal>(1.5, side / 10.0));
    pen.setCapStyle(Qt::RoundCap);
    const QColor base = Color();
    for (int i = 0; i < Spokes; ++i) {
        // The spoke at the step is brightest; the ones behind it fade out.
        const int age = (m_step - i + Spokes) % Spokes;
        QColor color = base;
        color.setAlphaF(base.alphaF() * (1.0 - age / qreal(Spokes)) * 0.9 + 0.1);
        pen.setColor(color);
        painter.setPen(pen);
        const qreal angle = 2 * M_PI * i / Spokes;
        const QPointF dir(qSin(angle), -qCos(angle));
        painter.drawLine(dir * inner, dir * (outer - pen.widthF()));
    }
}
