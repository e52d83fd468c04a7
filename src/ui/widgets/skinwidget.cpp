#include "ui/widgets/skinwidget.h"

#include "ui/skin/skin.h"

SkinWidget::SkinWidget(QWidget* parent, Qt::WindowFlags flags)
    : MovableWidget(parent, flags | Qt::FramelessWindowHint)
{
    // The skin paints the window's background.
    setAttribute(Qt::WA_StyledBackground, true);
    Skin::instance()->ApplyCss(this, Skin::CssMainWindow);
    SetZeroMargins(false);
}

SkinWidget::~SkinWidget() = default;

void SkinWidget::SetZeroMargins(bool zero)
{
    m_zeroMargins = zero;
    setContentsMargins(zero ? QMargins() : Skin::instance()->GetContentsMargins());
}

void SkinWidget::reloadSkin()
{
    SetZeroMargins(m_zeroMargins);
}
