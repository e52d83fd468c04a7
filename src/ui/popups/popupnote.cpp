#include "ui/popups/popupnote.h"

#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "ui/popups/popupstack.h"
#include "ui/uiclock.h"
#include "ui/uitext.h"

CPopupNote::CPopupNote(const CTranslatedStringDesc& text, int ms)
    : QFrame(nullptr), m_text(new QLabel(this)), m_displayTime(ms > 0 ? ms : DefaultDisplayTime)
{
    setObjectName(QStringLiteral("popupNote"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignCenter);
    SetUiText(m_text, "text", text);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    SetPopupFlags(this, PopupFramed | PopupCloseOnOutside);
}

CPopupNote::~CPopupNote() = default;

void CPopupNote::HandleShown()
{
    if (m_timerStarted)
        return;
    m_timerStarted = true;
    GetUiClock()->SingleShot(m_displayTime, this, [this]() { close(); });
}

void CPopupNote::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->pos())) {
        close();
        return;
    }
    QFrame::mouseReleaseEvent(event);
}
