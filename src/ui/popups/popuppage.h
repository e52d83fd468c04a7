#pragma once
// The page that the popup stack lays over the window for one popup: a fader over the whole window with
// the popup centred in a frame, under a title row with an optional close button.
#include <QFrame>
#include <QPointer>

class QLabel;
class QPushButton;

class CPopupPage : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(int frameMargin READ FrameMargin WRITE SetFrameMargin)
public:
    CPopupPage(QWidget* content, int flags, const QVariant& title, QWidget* parent = nullptr);
    ~CPopupPage() override;

    QWidget* Content() const { return m_content; }
    QFrame* Frame() const { return m_frame; }
    QPushButton* CloseButton() const { return m_closeButton; }
    QLabel* TitleLabel() const { return m_title; }

    // Free space kept around the frame.
    int FrameMargin() const { return m_frameMargin; }
    void SetFrameMargin(int margin);

    // Places the frame again (after a size change of the popup).
    void PlaceFrame();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CloseContent();

    QPointer<QWidget> m_content;
    int m_flags;
    QFrame* m_frame;
    QLabel* m_title = nullptr;
    QPushButton* m_closeButton = nullptr;
    int m_frameMargin = 8;
    bool m_pressedOutside = false;
};
