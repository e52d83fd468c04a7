#pragma once
// The frame of every page of the main window's page stack and of the options window: a header row with
// an icon and a title over the page's content. The skin styles the parts by their object names.
#include <QFrame>

#include "ui/widgets/labelwithshadow.h"

class QHBoxLayout;
class QLabel;
class QVBoxLayout;

class CTabBase : public QFrame
{
    Q_OBJECT
public:
    // With noHeader the header frame stays empty: no icon, title or row.
    explicit CTabBase(QWidget* parent = nullptr, bool noHeader = false);
    ~CTabBase() override;

    QFrame* HeaderFrame() const { return m_frameHeader; }
    QLabel* HeaderIcon() const { return m_headerIcon; }
    CLabelWithShadow* HeaderTitle() const { return m_headerTitle; }
    QFrame* ContentFrame() const { return m_frameContent; }
    // Pages add their widgets here.
    QVBoxLayout* ContentLayout() const { return m_contentLayout; }

protected:
    QFrame* m_frameHeader;                 // "frameTabHeader"
    QLabel* m_headerIcon = nullptr;        // "frameTabHeaderIcon"
    CLabelWithShadow* m_headerTitle = nullptr; // "frameTabHeaderTitle"
    QHBoxLayout* m_headerRow = nullptr;
    QVBoxLayout* m_headerLayout;
    QFrame* m_frameContent;                // "frameTabFooter"
    QVBoxLayout* m_contentLayout;
    QVBoxLayout* m_pageLayout;
};
