#pragma once
// Popups that keep the user informed while an operation runs: a busy wheel with a text, and a progress
// bar with a text and a Cancel button.
#include <QFrame>

#include "core/translatedstring.h"
#include "platform/com/combase.h"

class QLabel;
class QPushButton;
class CBiLevelCapacityWidget;
class CProgressRollingWheelV2;

class CPopupOperationProgressWheel : public QFrame
{
    Q_OBJECT
public:
    explicit CPopupOperationProgressWheel(const CTranslatedStringDesc& text);
    ~CPopupOperationProgressWheel() override;

    CProgressRollingWheelV2* Wheel() const { return m_wheel; }

private:
    CProgressRollingWheelV2* m_wheel;
    QLabel* m_text;
};

class CPopupOperationProgress : public QFrame
{
    Q_OBJECT
public:
    // Cancel emits WhenCanceled, connected to the receiver's cancelSlot (SLOT text), and closes the popup.
    CPopupOperationProgress(const CTranslatedStringDesc& text, QObject* receiver, const char* cancelSlot);
    ~CPopupOperationProgress() override;

    // Pushes the popup on the application's popup stack after ms (0 or below: now); nothing when it
    // is closed or deleted before. A result code (0x80004005 without a popup stack).
    HRESULT ShowDelayed(int ms);

    CBiLevelCapacityWidget* ProgressBar() const { return m_progress; }

public slots:
    // Progress in percent, 0..100.
    void ShowProgress(double percent);

signals:
    void WhenCanceled();

private slots:
    void OnBtnCancelClicked();

private:
    HRESULT PushNow();

    QLabel* m_text;
    CBiLevelCapacityWidget* m_progress;
    QPushButton* m_cancel;
    bool m_pushed = false;
    bool m_closed = false;
};
