#pragma once
// Small geometry and text helpers shared by the widgets.
#include <QRect>
#include <QSize>
#include <QString>

// The size scaled to fit inside bounds with its aspect ratio kept. With force false a size that already
// fits comes back unchanged; with force true it is scaled up or down until it touches the bounds.
// A size without area comes back unchanged (factor 1); empty bounds give an empty size (factor 0).
// factor, when given, receives the scale applied.
QSize FitSizeInto(const QSize& size, const QSize& bounds, bool force, double* factor = nullptr);

// Alignment values of AlignRectInRect.
enum
{
    AlignStart = 1,
    AlignCentre = 2,
    AlignEnd = 3
};

// A rectangle of the given size placed inside rect: each direction aligned 1 start, 2 centre, 3 end
// (any other value counts as start). With relative true the result is relative to rect's top left.
QRect AlignRectInRect(const QRect& rect, const QSize& size, int horizontal, int vertical, bool relative = false);

// The first (n+1)/2 and the last n-(n+1)/2 characters of text around "..."; the text itself when
// n < 2 or it is not longer than n.
QString ElideMiddle(const QString& text, int n);
