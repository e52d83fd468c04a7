#include "ui/popups/popupstack.h"

#include <QEvent>
#include <QStackedLayout>
#include <QWidget>

#include "core/log.h"
#include "ui/popups/popuppage.h"
#include "ui/skin/skin.h"

namespace {

const char kFlagsProperty[] = "popupFlags";
const char kTitleProperty[] = "popupTitle";
const char kDoNotDeleteProperty[] = "donotdelete";

void InvokeIfPresent(QWidget* widget, const char* name, const char* signature)
{
    if (widget->metaObject()->indexOfMethod(signature) >= 0)
        QMetaObject::invokeMethod(widget, name, Qt::DirectConnection);
}

} // namespace

void SetPopupFlags(QWidget* popup, int flags)
{
    if (popup)
        popup->setProperty(kFlagsProperty, flags);
}

void SetPopupTitle(QWidget* popup, const CTranslatedStringDesc& title)
{
    if (popup)
        popup->setProperty(kTitleProperty, title.ToVariant());
}

CPopupStack::CPopupStack(QWidget* owner, QStackedLayout* layout)
    : QObject(owner), m_layout(layout)
{
    if (!layout) {
        WriteLog("CPopupStack::CPopupStack: no layout");
        return;
    }
    // Every page stays visible under the ones above it.
    layout->setStackingMode(QStackedLayout::StackAll);
}

CPopupStack::~CPopupStack()
{
    for (const CEntry& entry : qAsConst(m_entries)) {
        if (entry.widget)
            entry.widget->removeEventFilter(this);
    }
}

int CPopupStack::IndexOf(const QObject* widget) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).widget == widget)
            return i;
    }
    return -1;
}

QWidget* CPopupStack::GetTopWidget() const
{
    return m_entries.isEmpty() ? nullptr : m_entries.last().widget;
}

HRESULT CPopupStack::Push(QWidget* widget)
{
    if (!widget) {
        WriteLog("CPopupStack::Push: no widget");
        return E_INVALIDARG;
    }
    if (IndexOf(widget) >= 0) {
        WriteLog("CPopupStack::Push: already on stack");
        return E_FAIL;
    }
    if (!m_layout) {
        WriteLog("CPopupStack::Push: no layout %x", E_FAIL);
        return E_FAIL;
    }

    CEntry entry;
    entry.widget = widget;
    const int flags = widget->property(kFlagsProperty).toInt();
    if (flags == 0) {
        entry.page = widget;
        m_layout->addWidget(widget);
    } else {
        auto* page = new CPopupPage(widget, flags, widget->property(kTitleProperty));
        Skin::instance()->ApplyCss(page, Skin::CssPopup);
        entry.page = page;
        m_layout->addWidget(page);
    }
    widget->show();
    entry.page->show();
    widget->installEventFilter(this);
    connect(widget, &QObject::destroyed, this, &CPopupStack::OnWidgetDestroyed);
    m_entries.append(entry);
    ShowTop();

    // "Shown" once the page has been laid out and painted by the event loop.
    QPointer<QWidget> guard(widget);
    QMetaObject::invokeMethod(
        this, [this, guard]() { CallShown(guard); }, Qt::QueuedConnection);
    return S_OK;
}

void CPopupStack::CallShown(QWidget* widget)
{
    const int index = widget ? IndexOf(widget) : -1;
    if (index < 0 || m_entries.at(index).shown)
        return;
    m_entries[index].shown = true;
    InvokeIfPresent(widget, "HandleShown", "HandleShown()");
}

void CPopupStack::ShowTop()
{
    if (m_entries.isEmpty() || !m_layout)
        return;
    const CEntry& top = m_entries.last();
    if (top.page)
        m_layout->setCurrentWidget(top.page);
    // Keyboard input goes to the top popup: where it last was, else its first focusable child.
    QWidget* focus = top.widget->focusWidget();
    if (!focus) {
        const QList<QWidget*> children = top.widget->findChildren<QWidget*>();
        for (QWidget* child : children) {
            if (child->isVisibleTo(top.widget) && child->isEnabled() && (child->focusPolicy() & Qt::TabFocus)) {
                focus = child;
                break;
            }
        }
    }
    (focus ? focus : top.widget)->setFocus(Qt::OtherFocusReason);
}

HRESULT CPopupStack::PopUpTo(QWidget* widget)
{
    const int index = widget ? IndexOf(widget) : -1;
    if (index < 0) {
        WriteLog("CPopupStack::PopUpTo: not on stack %x", E_INVALIDARG);
        return E_INVALIDARG;
    }
    while (m_entries.size() > index + 1) {
        QWidget* top = m_entries.last().widget;
        // A popup that refuses to close is taken off all the same.
        top->close();
        Remove(top);
    }
    return S_OK;
}

bool CPopupStack::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Hide: {
        // An explicit hide or an accepted close takes the popup off the stack at once.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->isHidden() && IndexOf(widget) >= 0)
            Remove(widget);
        break;
    }
    case QEvent::Close: {
        // A widget that is not on screen gets no hide event; look again once the close is done.
        QPointer<QWidget> guard(qobject_cast<QWidget*>(watched));
        QMetaObject::invokeMethod(
            this,
            [this, guard]() {
                if (guard && guard->isHidden() && IndexOf(guard) >= 0)
                    Remove(guard);
            },
            Qt::QueuedConnection);
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void CPopupStack::Remove(QWidget* widget)
{
    const int index = IndexOf(widget);
    if (index < 0)
        return;
    const CEntry entry = m_entries.takeAt(index);
    widget->removeEventFilter(this);
    disconnect(widget, &QObject::destroyed, this, &CPopupStack::OnWidgetDestroyed);

    InvokeIfPresent(widget, "HandleClosed", "HandleClosed()");

    if (m_layout && entry.page)
        m_layout->removeWidget(entry.page);
    QPointer<QWidget> page = entry.page != widget ? entry.page : QPointer<QWidget>();
    if (page)
        page->hide();
    widget->hide();
    if (widget->property(kDoNotDeleteProperty).toBool()) {
        // Handed back to its owner, out of the window; done after the hide that may have brought us
        // here has run its course.
        QPointer<QWidget> guard(widget);
        QMetaObject::invokeMethod(
            this,
            [this, guard, page]() {
                if (guard && IndexOf(guard) < 0) {
                    const bool stillOurs = page ? page->isAncestorOf(guard)
                                                : (m_layout && guard->parentWidget() == m_layout->parentWidget());
                    if (stillOurs)
                        guard->setParent(nullptr);
                }
                if (page)
                    page->deleteLater();
            },
            Qt::QueuedConnection);
    } else {
        widget->deleteLater();
        if (page)
            page->deleteLater();
    }

    ShowTop();
}

void CPopupStack::OnWidgetDestroyed(QObject* widget)
{
    const int index = IndexOf(widget);
    if (index < 0)
        return;
    const CEntry entry = m_entries.takeAt(index);
    if (entry.page && entry.page != entry.widget) {
        if (m_layout)
            m_layout->removeWidget(entry.page);
        entry.page->hide();
        entry.page->deleteLater();
    }
    ShowTop();
}

bool CPopupStack::Contains(QWidget* widget) const
{
    return IndexOf(widget) >= 0;
}
