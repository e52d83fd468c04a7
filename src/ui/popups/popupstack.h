#pragma once
// The one way popups are shown over the main window: each pushed widget lies on a page of the window's
// stacked layout above everything pushed before it, owned by the stack until it closes.
#include <QList>
#include <QObject>
#include <QPointer>

#include "core/translatedstring.h"
#include "platform/com/combase.h"

class QStackedLayout;
class QWidget;

// Bits of the "popupFlags" property. 0 shows the widget over the whole window with no frame.
enum
{
    PopupFramed = 0x1,        // centred in a frame with the title row, over a fader
    PopupFullWidth = 0x2,     // the frame takes the window's width
    PopupCloseOnOutside = 0x4,// a press and release outside the frame closes the popup
    PopupCloseButton = 0x20,  // a close button in the title row
    PopupFullHeight = 0x40,   // the frame takes the window's height
    PopupReserved = 0x80      // accepted, no effect
};

// Set the dynamic properties that CPopupStack::Push reads.
void SetPopupFlags(QWidget* popup, int flags);
void SetPopupTitle(QWidget* popup, const CTranslatedStringDesc& title);

class CPopupStack : public QObject
{
    Q_OBJECT
public:
    // Pages go into layout (which is switched to show all its pages stacked); owner is the window.
    CPopupStack(QWidget* owner, QStackedLayout* layout);
    ~CPopupStack() override;

    // Shows the widget as the topmost popup, reading "popupFlags" and "popupTitle". The stack owns the
    // widget until it closes (close() or deletion); then it invokes its "HandleClosed()" when present
    // and deletes it unless its property "donotdelete" is true. "HandleShown()" is invoked once, soon
    // after the push. 0x800700A0 for no widget, 0x80004005 for a widget already on the stack.
    HRESULT Push(QWidget* widget);
    // Closes every popup above the widget, topmost first; 0x800700A0 for a widget not on the stack.
    HRESULT PopUpTo(QWidget* widget);
    // The topmost widget; null when the stack is empty.
    QWidget* GetTopWidget() const;
    int Count() const { return m_entries.size(); }
    bool Contains(QWidget* widget) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct CEntry
    {
        QWidget* widget = nullptr;
        QPointer<QWidget> page;  // the frame page, or the widget itself for flags 0
        bool shown = false;
    };

    int IndexOf(const QObject* widget) const;
    void Remove(QWidget* widget);
    void OnWidgetDestroyed(QObject* widget);
    void ShowTop();
    void CallShown(QWidget* widget);

    QPointer<QStackedLayout> m_layout;
    QList<CEntry> m_entries;
};
