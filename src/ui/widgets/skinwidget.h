#pragma once
// The skinned frameless top-level window: the main window's base. It takes the skin's main style
// sheet and contents margins and follows skin changes.
#include "ui/widgets/movablewidget.h"

class SkinWidget : public MovableWidget
{
    Q_OBJECT
public:
    explicit SkinWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~SkinWidget() override;

    // Zero contents margins (maximised or full screen) or the skin's margins.
    void SetZeroMargins(bool zero);
    bool HasZeroMargins() const { return m_zeroMargins; }

public slots:
    // Called by the skin engine after a skin change: margins follow the new skin.
    virtual void reloadSkin();

private:
    bool m_zeroMargins = false;
};
