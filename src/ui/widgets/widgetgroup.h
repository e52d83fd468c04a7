#pragma once
// A set of widgets that share one hover state (the mouse is over any of them) and the active state of
// their host window, so that buttons such as the title bar's can be drawn together.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QPushButton>

class QWidget;

class CWidgetGroup : public QObject
{
    Q_OBJECT
public:
    // With hostIsMember the host itself belongs to the group, so hovering anywhere on it counts.
    CWidgetGroup(QObject* parent, QWidget* host, bool hostIsMember = false);
    ~CWidgetGroup() override;

    // Adds a member; with withChildren its present children count as part of it.
    void AddWidget(QWidget* widget, bool withChildren = false);

    bool IsHovered() const { return m_hovered; }
    bool IsActive() const { return m_active; }

signals:
    void WhenStateChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Watch(QWidget* widget);
    void SetStates(bool hovered, bool active);
    void ApplyTo(QWidget* widget);
    bool HostActive() const;

    QPointer<QWidget> m_host;
    QList<QPointer<QWidget>> m_members;  // the widgets that show the state
    QList<QObject*> m_watched;           // members and their children
    QList<QObject*> m_under;             // watched objects the mouse is over
    bool m_hovered = false;
    bool m_active = false;
};

// A push button drawn by the state of its group: the style sheet selects on the dynamic properties
// "groupHovered" and "groupActive".
class CPushButtonInGroup : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(bool groupHovered READ IsGroupHovered WRITE SetGroupHovered)
    Q_PROPERTY(bool groupActive READ IsGroupActive WRITE SetGroupActive)
public:
    explicit CPushButtonInGroup(QWidget* parent = nullptr);

    bool IsGroupHovered() const { return m_groupHovered; }
    void SetGroupHovered(bool on);
    bool IsGroupActive() const { return m_groupActive; }
    void SetGroupActive(bool on);

private:
    void Repolish();

    bool m_groupHovered = false;
    bool m_groupActive = true;
};
