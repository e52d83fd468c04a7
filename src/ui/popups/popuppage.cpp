#include "ui/popups/popuppage.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/translatedstring.h"
#include "ui/uitext.h"
#include "ui/popups/popupstack.h"
#include "ui/widgets/geometryutils.h"

CPopupPage::CPopupPage(QWidget* content, int flags, const QVariant& title, QWidget* parent)
    : QFrame(parent), m_content(content), m_flags(flags), m_frame(new QFrame(this))
{
    setObjectName(QStringLiteral("popupPage"));
    m_frame->setObjectName(QStringLiteral("popupFrame"));
    m_frame->setProperty("framed", bool(flags & PopupFramed));

    auto* layout = new QVBoxLayout(m_frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    CTranslatedStringDesc titleText = CTranslatedStringDesc::FromVariant(title);
    if (titleText.IsEmpty() && title.userType() == QMetaType::QString)
        titleText = CTranslatedStringDesc(title.toString());
    const bool hasTitle = (flags & PopupFramed) && !titleText.IsEmpty();
    if (hasTitle || (flags & PopupCloseButton)) {
        auto* header = new QFrame(m_frame);
        header->setObjectName(QStringLiteral("popupHeader"));
        auto* row = new QHBoxLayout(header);
        row->setContentsMargins(0, 0, 0, 0);
        m_title = new QLabel(header);
        m_title->setObjectName(QStringLiteral("popupTitle"));
        if (hasTitle)
            SetUiText(m_title, "text", titleText);
        row->addWidget(m_title, 1);
        if (flags & PopupCloseButton) {
            m_closeButton = new QPushButton(header);
            m_closeButton->setObjectName(QStringLiteral("popupClose"));
            m_closeButton->setFlat(true);
            m_closeButton->setFocusPolicy(Qt::NoFocus);
            connect(m_closeButton, &QPushButton::clicked, this, &CPopupPage::CloseContent);
            row->addWidget(m_closeButton, 0, Qt::AlignRight | Qt::AlignTop);
        }
        layout->addWidget(header);
    }
    if (content) {
        content->setParent(m_frame);
        layout->addWidget(content, 1);
    }
    m_frame->installEventFilter(this);
}

CPopupPage::~CPopupPage() = default;

void CPopupPage::SetFrameMargin(int margin)
{
    m_frameMargin = qMax(0, margin);
    PlaceFrame();
}

void CPopupPage::PlaceFrame()
{
    const QRect available = rect().adjusted(m_frameMargin, m_frameMargin, -m_frameMargin, -m_frameMargin);
    if (available.width() <= 0 || available.height() <= 0)
        return;
    const QSize hint = m_frame->sizeHint().expandedTo(m_frame->minimumSizeHint());
    int width = (m_flags & PopupFullWidth) ? available.width() : qMin(hint.width(), available.width());
    int height = m_frame->hasHeightForWidth() ? m_frame->heightForWidth(width) : hint.height();
    if (m_flags & PopupFullHeight)
        height = available.height();
    height = qBound(1, height, available.height());
    width = qMax(1, width);
    m_frame->setGeometry(AlignRectInRect(available, QSize(width, height), AlignCentre, AlignCentre));
}

void CPopupPage::CloseContent()
{
    if (m_content)
        m_content->close();
}

bool CPopupPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_frame && event->type() == QEvent::LayoutRequest)
        PlaceFrame();
    return QFrame::eventFilter(watched, event);
}

void CPopupPage::mousePressEvent(QMouseEvent* event)
{
    // Presses inside the frame that the popup did not take end here too; only outside ones count.
    m_pressedOutside = event->button() == Qt::LeftButton && !m_frame->geometry().contains(event->pos());
    event->accept();
}

void CPopupPage::mouseReleaseEvent(QMouseEvent* event)
{
    const bool outside = m_pressedOutside && event->button() == Qt::LeftButton &&
                         !m_frame->geometry().contains(event->pos());
    m_pressedOutside = false;
    event->accept();
    if (outside && (m_flags & PopupCloseOnOutside))
        CloseContent();
}

void CPopupPage::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    PlaceFrame();
}
