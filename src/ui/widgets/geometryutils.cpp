#include "ui/widgets/geometryutils.h"

#include <algorithm>

QSize FitSizeInto(const QSize& size, const QSize& bounds, bool force, double* factor)
{
    double scale = 1.0;
    QSize result = size;
    if (size.width() <= 0 || size.height() <= 0) {
        // nothing to scale
    } else if (bounds.width() <= 0 || bounds.height() <= 0) {
        scale = 0.0;
        result = QSize(0, 0);
    } else if (!force && size.width() <= bounds.width() && size.height() <= bounds.height()) {
        // fits already
    } else {
        const double sx = double(bounds.width()) / size.width();
        const double sy = double(bounds.height()) / size.height();
        // The limiting side gets the bound exactly so that rounding never leaves a gap or overflows.
        if (sx <= sy) {
            scale = sx;
            const int h = int(size.height() * sx + 0.5);
            result = QSize(bounds.width(), std::clamp(h, 1, bounds.height()));
        } else {
            scale = sy;
            const int w = int(size.width() * sy + 0.5);
            result = QSize(std::clamp(w, 1, bounds.width()), bounds.height());
        }
    }
    if (factor)
        *factor = scale;
    return result;
}

static int AlignOffset(int space, int length, int alignment)
{
    switch (alignment) {
    case AlignCentre:
        return (space - length) / 2;
    case AlignEnd:
        return space - length;
    default:
        return 0;
    }
}

QRect AlignRectInRect(const QRect& rect, const QSize& size, int horizontal, int vertical, bool relative)
{
    const int x = AlignOffset(rect.width(), size.width(), horizontal);
    const int y = AlignOffset(rect.height(), size.height(), vertical);
    QRect result(QPoint(x, y), size);
    if (!relative)
        result.translate(rect.topLeft());
    return result;
}

QString ElideMiddle(const QString& text, int n)
{
    if (n < 2 || text.length() <= n)
        return text;
    const int head = (n + 1) / 2;
    const int tail = n - head;
    return text.left(head) + QStringLiteral("...") + text.right(tail);
}
