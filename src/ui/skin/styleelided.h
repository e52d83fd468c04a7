#pragma once
// The shared proxy style whose item texts (labels, buttons) are cut with an ellipsis when they do not
// fit, instead of being clipped.
#include <QProxyStyle>

class CStyleElided : public QProxyStyle
{
    Q_OBJECT
public:
    CStyleElided();

    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& pal, bool enabled,
                      const QString& text, QPalette::ColorRole textRole = QPalette::NoRole) const override;
};
