#include "ui/tabbase.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/widgets/labelwithshadow.h"

CTabBase::CTabBase(QWidget* parent, bool noHeader)
    : QFrame(parent), m_frameHeader(new QFrame(this)), m_headerLayout(new QVBoxLayout(m_frameHeader)),
      m_frameContent(new QFrame(this)), m_contentLayout(new QVBoxLayout(m_frameContent)),
      m_pageLayout(new QVBoxLayout(this))
{
    m_frameHeader->setObjectName(QStringLiteral("frameTabHeader"));
    QSizePolicy policy = m_frameHeader->sizePolicy();
    policy.setVerticalPolicy(QSizePolicy::Fixed);
    m_frameHeader->setSizePolicy(policy);
    m_headerLayout->setContentsMargins(0, 0, 0, 0);

    if (!noHeader) {
        m_headerIcon = new QLabel(m_frameHeader);
        m_headerIcon->setObjectName(QStringLiteral("frameTabHeaderIcon"));
        m_headerTitle = new CLabelWithShadow(m_frameHeader);
        m_headerTitle->setObjectName(QStringLiteral("frameTabHeaderTitle"));
        m_headerRow = new QHBoxLayout();
        m_headerRow->addWidget(m_headerIcon);
        m_headerRow->addWidget(m_headerTitle);
        m_headerRow->addStretch(1);
        m_headerLayout->addLayout(m_headerRow);
    }

    m_frameContent->setObjectName(QStringLiteral("frameTabFooter"));
    m_contentLayout->setContentsMargins(0, 0, 0, 0);

    m_pageLayout->setContentsMargins(0, 0, 0, 0);
    m_pageLayout->setSpacing(0);
    m_pageLayout->addWidget(m_frameHeader);
    m_pageLayout->addWidget(m_frameContent, 1);
}

CTabBase::~CTabBase() = default;
