#pragma once
// A transient note: shows a message on the popup stack and closes itself after its display time
// (or when clicked).
#include <QFrame>

#include "core/translatedstring.h"

class QLabel;

class CPopupNote : public QFrame
{
    Q_OBJECT
public:
    // ms 0 or below means the default display time.
    explicit CPopupNote(const CTranslatedStringDesc& text, int ms = 0);
    ~CPopupNote() override;

    static constexpr int DefaultDisplayTime = 5000;

    int DisplayTime() const { return m_displayTime; }

    // Called by the popup stack once the note is on screen: the display time starts.
    Q_INVOKABLE void HandleShown();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QLabel* m_text;
    int m_displayTime;
    bool m_timerStarted = false;
};
