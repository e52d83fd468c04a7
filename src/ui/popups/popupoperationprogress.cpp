#include "ui/popups/popupoperationprogress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/coreapplicationobject.h"
#include "core/log.h"
#include "ui/popups/popupstack.h"
#include "ui/uiclock.h"
#include "ui/uitext.h"
#include "ui/widgets/bilevelcapacitywidget.h"
#include "ui/widgets/progressrollingwheel.h"

CPopupOperationProgressWheel::CPopupOperationProgressWheel(const CTranslatedStringDesc& text)
    : QFrame(nullptr), m_wheel(new CProgressRollingWheelV2(this)), m_text(new QLabel(this))
{
    setObjectName(QStringLiteral("popupProgressWheel"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setWordWrap(true);
    SetUiText(m_text, "text", text);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_wheel, 0, Qt::AlignVCenter);
    layout->addWidget(m_text, 1);
    m_wheel->Start();
    SetPopupFlags(this, PopupFramed);
}

CPopupOperationProgressWheel::~CPopupOperationProgressWheel() = default;

CPopupOperationProgress::CPopupOperationProgress(const CTranslatedStringDesc& text, QObject* receiver,
                                                 const char* cancelSlot)
    : QFrame(nullptr), m_text(new QLabel(this)), m_progress(new CBiLevelCapacityWidget(this)),
      m_cancel(new QPushButton(this))
{
    setObjectName(QStringLiteral("popupProgress"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setWordWrap(true);
    SetUiText(m_text, "text", text);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->SetOverflowDetected(false);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    SetUiText(m_cancel, "text", CTranslatedStringDesc("Cancel", "CPopupOperationProgress"));
    connect(m_cancel, &QPushButton::clicked, this, &CPopupOperationProgress::OnBtnCancelClicked);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);

    if (receiver && cancelSlot) {
        if (!connect(this, SIGNAL(WhenCanceled()), receiver, cancelSlot))
            WriteLog("CPopupOperationProgress::CPopupOperationProgress: failed to connect receiver");
    }
    SetPopupFlags(this, PopupFramed);
}

CPopupOperationProgress::~CPopupOperationProgress() = default;

HRESULT CPopupOperationProgress::ShowDelayed(int ms)
{
    if (ms <= 0)
        return PushNow();
    GetUiClock()->SingleShot(ms, this, [this]() { PushNow(); });
    return S_OK;
}

HRESULT CPopupOperationProgress::PushNow()
{
    if (m_pushed || m_closed)
        return S_FALSE;
    CCoreApplicationObject* app = GetCoreApplicationObject();
    CPopupStack* stack = app ? app->GetPopupStack() : nullptr;
    if (!stack) {
        WriteLog("CPopupOperationProgress::ShowDelayed: no popup stack %x", E_FAIL);
        return E_FAIL;
    }
    m_pushed = true;
    return stack->Push(this);
}

void CPopupOperationProgress::ShowProgress(double percent)
{
    m_progress->SetUsedValue(qBound(0.0, percent, 100.0));
}

void CPopupOperationProgress::OnBtnCancelClicked()
{
    m_closed = true;
    emit WhenCanceled();
    close();
}
