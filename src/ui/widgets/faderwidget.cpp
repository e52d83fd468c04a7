#include "ui/widgets/faderwidget.h"

#include <QEvent>
#include <QLayout>
#include <QPainter>

#include "ui/widgets/geometryutils.h"

CFaderWidget::CFaderWidget(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("fader"));
    if (parent) {
        parent->installEventFilter(this);
        FollowParent();
    }
}

void CFaderWidget::SetFadeColor(const QColor& color)
{
    m_fadeColor = color;
    update();
}

void CFaderWidget::SetContent(QWidget* content)
{
    m_content = content;
    PlaceContent();
}

void CFaderWidget::FollowParent()
{
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    // A layout that holds the overlay places it; otherwise it covers the whole parent.
    if (parent->layout() && parent->layout()->indexOf(this) >= 0)
        return;
    setGeometry(parent->rect());
}

void CFaderWidget::PlaceContent()
{
    if (!m_content)
        return;
    const QSize size = m_content->sizeHint().boundedTo(this->size()).expandedTo(QSize(1, 1));
    m_content->setGeometry(AlignRectInRect(rect(), size, AlignCentre, AlignCentre));
}

bool CFaderWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        FollowParent();
    return QWidget::eventFilter(watched, event);
}

void CFaderWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_fadeColor);
}

void CFaderWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceContent();
}
