#include "ui/widgets/labelwithshadow.h"

#include <QGraphicsDropShadowEffect>

CLabelWithShadow::CLabelWithShadow(QWidget* parent)
    : QLabel(parent), m_shadow(new QGraphicsDropShadowEffect(this))
{
    m_shadow->setColor(QColor(0, 0, 0, 160));
    m_shadow->setOffset(1, 1);
    m_shadow->setBlurRadius(2);
    setGraphicsEffect(m_shadow);
}

QColor CLabelWithShadow::ShadowColor() const
{
    return m_shadow->color();
}

void CLabelWithShadow::SetShadowColor(const QColor& color)
{
    m_shadow->setColor(color);
}

int CLabelWithShadow::ShadowOffset() const
{
    return int(m_shadow->xOffset());
}

void CLabelWithShadow::SetShadowOffset(int offset)
{
    m_shadow->setOffset(offset, offset);
}

int CLabelWithShadow::ShadowBlur() const
{
    return int(m_shadow->blurRadius());
}

void CLabelWithShadow::SetShadowBlur(int radius)
{
    m_shadow->setBlurRadius(radius);
}
