#pragma once
// A label drawn with a drop shadow; colour, offset and blur can come from the style sheet
// (qproperty-shadowColor, qproperty-shadowOffset, qproperty-shadowBlur).
#include <QColor>
#include <QLabel>

class QGraphicsDropShadowEffect;

class CLabelWithShadow : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QColor shadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(int shadowOffset READ ShadowOffset WRITE SetShadowOffset)
    Q_PROPERTY(int shadowBlur READ ShadowBlur WRITE SetShadowBlur)
public:
    explicit CLabelWithShadow(QWidget* parent = nullptr);

    QColor ShadowColor() const;
    void SetShadowColor(const QColor& color);
    // The shadow lies this many pixels right of and below the text.
    int ShadowOffset() const;
    void SetShadowOffset(int offset);
    int ShadowBlur() const;
    void SetShadowBlur(int radius);

private:
    QGraphicsDropShadowEffect* m_shadow;
};
