#include "ui/skin/styleelided.h"

#include <QPainter>
#include <QStringList>

CStyleElided::CStyleElided() = default;

void CStyleElided::drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& pal, bool enabled,
                                const QString& text, QPalette::ColorRole textRole) const
{
    // Wrapped text is laid out by the base style; only single lines need cutting.
    if (!painter || (flags & Qt::TextWordWrap) || text.isEmpty()) {
        QProxyStyle::drawItemText(painter, rect, flags, pal, enabled, text, textRole);
        return;
    }
    const QFontMetrics metrics = painter->fontMetrics();
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = metrics.elidedText(line, Qt::ElideRight, rect.width(), flags & Qt::TextShowMnemonic);
    QProxyStyle::drawItemText(painter, rect, flags, pal, enabled, lines.join(QLatin1Char('\n')), textRole);
}
