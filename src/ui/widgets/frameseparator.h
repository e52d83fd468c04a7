#pragma once
// A horizontal separator line; its look comes from the style sheet (object name "separator").
#include <QFrame>

class CFrameSeparator : public QFrame
{
    Q_OBJECT
public:
    explicit CFrameSeparator(QWidget* parent = nullptr);
};
