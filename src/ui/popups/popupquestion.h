#pragma once
// A yes/no question on the popup stack, optionally with "Don't ask me again". The answer goes to the
// asker's slot: a slot without arguments runs on "Yes" only, a slot taking a bool gets the answer.
#include <QFrame>
#include <QString>

#include "core/translatedstring.h"

class QCheckBox;
class QLabel;
class QPushButton;

class CPopupQuestion : public QFrame
{
    Q_OBJECT
public:
    // Bits of the question's flags.
    enum
    {
        QuestionDontAskBox = 0x1, // show "Don't ask me again" (needs a key)
        QuestionNoIsDefault = 0x2 // "No" is the default button
    };

    // key names the stored don't-ask answer "questions/q_<key>"; defaultDontAsk is that answer while
    // nothing is stored (and the box's first state). slot is a SLOT text of the receiver. title is the
    // question, text a further explanation (hidden when empty).
    CPopupQuestion(const QString& key, int flags, bool defaultDontAsk, QObject* receiver, const char* slot,
                   const CTranslatedStringDesc& title, const CTranslatedStringDesc& text = CTranslatedStringDesc());
    ~CPopupQuestion() override;

    // The stored answer of "questions/q_<key>": true once the question was approved with the box ticked.
    static bool IsDontAsk(const QString& key, bool defaultValue);

    QCheckBox* DontAskBox() const { return m_dontAsk; }
    QPushButton* YesButton() const { return m_yes; }
    QPushButton* NoButton() const { return m_no; }

signals:
    // Once, when the popup closes: approved on "Yes", not approved on "No" or any other way of closing.
    void WhenAnswered(bool approved);
    // Once, when the popup closes after "Yes".
    void WhenApproved();

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void OnBtnYesClicked();
    void OnBtnNoClicked();

private:
    QString m_key;
    QLabel* m_title;
    QLabel* m_text;
    QCheckBox* m_dontAsk;
    QPushButton* m_yes;
    QPushButton* m_no;
    bool m_hasBox = false;
    bool m_approved = false;
    bool m_answered = false;
};
