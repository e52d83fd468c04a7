#pragma once
// A capacity bar: of a total, the used part, then the part still required (an estimate), then the free
// rest; a requirement beyond the total shows as "not enough" while overflow marking is on. Also used
// as a plain progress bar (used = done, overflow marking off). Images for each part may come from the
// style sheet (qproperty-imageUsed: url(...)); without them the palette colours are used.
#include <QFrame>
#include <QPixmap>
#include <QRect>

class CBiLevelCapacityWidget : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(QPixmap imageTotal READ ImageTotal WRITE SetImageTotal)
    Q_PROPERTY(QPixmap imageUsed READ ImageUsed WRITE SetImageUsed)
    Q_PROPERTY(QPixmap imageRequired READ ImageRequired WRITE SetImageRequired)
    Q_PROPERTY(QPixmap imageExceeded READ ImageExceeded WRITE SetImageExceeded)
    Q_PROPERTY(QPixmap imageFree READ ImageFree WRITE SetImageFree)
    Q_PROPERTY(int imageStyle READ ImageStyle WRITE SetImageStyle)
    Q_PROPERTY(bool overflowDetected READ IsOverflowDetected WRITE SetOverflowDetected)
public:
    // Parts of the bar that HitTest reports.
    enum
    {
        HitNone = 0,     // not painted since the last change, or outside the bar
        HitUsed = 1,
        HitEstimated = 2,
        HitNotEnough = 3,
        HitFree = 4
    };

    // How part images are drawn: stretched over the part, or tiled along it.
    enum
    {
        ImageStretch = 0,
        ImageTile = 1
    };

    explicit CBiLevelCapacityWidget(QWidget* parent = nullptr);

    double TotalValue() const { return m_total; }
    double UsedValue() const { return m_used; }
    double RequiredValue() const { return m_required; }

    // Each setter repaints; an unchanged value does nothing. Negative values count as 0; used is
    // clamped to the total (and re-clamped when the total shrinks).
    void SetTotalValue(double total);
    void SetUsedValue(double used);
    void SetRequiredValue(double required);
    bool IsOverflowDetected() const { return m_overflowDetected; }
    void SetOverflowDetected(bool on);

    // The part under a point of the widget.
    int HitTest(const QPoint& pos) const;

    QPixmap ImageTotal() const { return m_imageTotal; }
    void SetImageTotal(const QPixmap& image);
    QPixmap ImageUsed() const { return m_imageUsed; }
    void SetImageUsed(const QPixmap& image);
    QPixmap ImageRequired() const { return m_imageRequired; }
    void SetImageRequired(const QPixmap& image);
    QPixmap ImageExceeded() const { return m_imageExceeded; }
    void SetImageExceeded(const QPixmap& image);
    QPixmap ImageFree() const { return m_imageFree; }
    void SetImageFree(const QPixmap& image);
    int ImageStyle() const { return m_imageStyle; }
    void SetImageStyle(int style);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct CParts
    {
        QRect bar, used, estimated, notEnough, free;
    };

    void Changed();
    CParts ComputeParts() const;
    void DrawPart(QPainter& painter, const QRect& rect, const QPixmap& image, const QColor& fallback) const;

    double m_total = 100.0;
    double m_used = 0.0;
    double m_required = 0.0;
    bool m_overflowDetected = true;
    QPixmap m_imageTotal, m_imageUsed, m_imageRequired, m_imageExceeded, m_imageFree;
    int m_imageStyle = ImageStretch;

    bool m_painted = false;
    CParts m_paintedParts;
};
