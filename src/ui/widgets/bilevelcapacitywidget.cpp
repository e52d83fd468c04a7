#include "ui/widgets/bilevelcapacitywidget.h"

#include <QPainter>
#include <QtMath>

CBiLevelCapacityWidget::CBiLevelCapacityWidget(QWidget* parent)
    : QFrame(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize CBiLevelCapacityWidget::sizeHint() const
{
    return QSize(200, 14);
}

void CBiLevelCapacityWidget::Changed()
{
    m_painted = false;
    update();
}

void CBiLevelCapacityWidget::SetTotalValue(double total)
{
    total = qMax(0.0, total);
    if (total == m_total)
        return;
    m_total = total;
    m_used = qMin(m_used, m_total);
    Changed();
}

void CBiLevelCapacityWidget::SetUsedValue(double used)
{
    used = qBound(0.0, used, m_total);
    if (used == m_used)
        return;
    m_used = used;
    Changed();
}

void CBiLevelCapacityWidget::SetRequiredValue(double required)
{
    required = qMax(0.0, required);
    if (required == m_required)
        return;
    m_required = required;
    Changed();
}

void CBiLevelCapacityWidget::SetOverflowDetected(bool on)
{
    if (on == m_overflowDetected)
        return;
    m_overflowDetected = on;
    Changed();
}

void CBiLevelCapacityWidget::SetImageTotal(const QPixmap& image)
{
    m_imageTotal = image;
    Changed();
}

void CBiLevelCapacityWidget::SetImageUsed(const QPixmap& image)
{
    m_imageUsed = image;
    Changed();
}

void CBiLevelCapacityWidget::SetImageRequired(const QPixmap& image)
{
    m_imageRequired = image;
    Changed();
}

void CBiLevelCapacityWidget::SetImageExceeded(const QPixmap& image)
{
    m_imageExceeded = image;
    Changed();
}

void CBiLevelCapacityWidget::SetImageFree(const QPixmap& image)
{
    m_imageFree = image;
    Changed();
}

void CBiLevelCapacityWidget::SetImageStyle(int style)
{
    if (style == m_imageStyle)
        return;
    m_imageStyle = style;
    Changed();
}

CBiLevelCapacityWidget::CParts CBiLevelCapacityWidget::ComputeParts() const
{
    CParts parts;
    parts.bar = contentsRect();
    const int width = parts.bar.width();
    if (width <= 0 || parts.bar.height() <= 0)
        return parts;
    if (m_total <= 0.0) {
        parts.free = parts.bar;
        return parts;
    }
    auto toX = [&](double value) { return int(qRound(qBound(0.0, value / m_total, 1.0) * width)); };
    const int usedEnd = toX(m_used);
    const bool overflow = m_used + m_required > m_total;
    const int left = parts.bar.left();
    const int top = parts.bar.top();
    const int height = parts.bar.height();
    parts.used = QRect(left, top, usedEnd, height);
    if (overflow && m_overflowDetected && m_required > 0.0) {
        parts.notEnough = QRect(left + usedEnd, top, width - usedEnd, height);
        return parts;
    }
    const int requiredEnd = toX(m_used + m_required);
    parts.estimated = QRect(left + usedEnd, top, requiredEnd - usedEnd, height);
    parts.free = QRect(left + requiredEnd, top, width - requiredEnd, height);
    return parts;
}

int CBiLevelCapacityWidget::HitTest(const QPoint& pos) const
{
    if (!m_painted || !m_paintedParts.bar.contains(pos))
        return HitNone;
    if (m_paintedParts.used.contains(pos))
        return HitUsed;
    if (m_paintedParts.estimated.contains(pos))
        return HitEstimated;
    if (m_paintedParts.notEnough.contains(pos))
        return HitNotEnough;
    if (m_paintedParts.free.contains(pos))
        return HitFree;
    return HitNone;
}

void CBiLevelCapacityWidget::DrawPart(QPainter& painter, const QRect& rect, const QPixmap& image,
                                      const QColor& fallback) const
{
    if (rect.isEmpty())
        return;
    if (image.isNull())
        painter.fillRect(rect, fallback);
    else if (m_imageStyle == ImageTile)
        painter.drawTiledPixmap(rect, image);
    else
        painter.drawPixmap(rect, image);
}

void CBiLevelCapacityWidget::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const CParts parts = ComputeParts();
    const QPalette& pal = palette();
    if (!m_imageTotal.isNull())
        DrawPart(painter, parts.bar, m_imageTotal, QColor());
    DrawPart(painter, parts.free, m_imageFree, pal.color(QPalette::Base));
    DrawPart(painter, parts.used, m_imageUsed, pal.color(QPalette::Highlight));
    DrawPart(painter, parts.estimated, m_imageRequired, pal.color(QPalette::Highlight).lighter(160));
    DrawPart(painter, parts.notEnough, m_imageExceeded, QColor(0xd0, 0x30, 0x30));
    m_paintedParts = parts;
    m_painted = true;
}
