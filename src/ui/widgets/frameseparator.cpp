#include "ui/widgets/frameseparator.h"

CFrameSeparator::CFrameSeparator(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("separator"));
    setFrameShape(QFrame::HLine);
    setFrameShadow(QFrame::Sunken);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}
