#include "ui/popups/popupquestion.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include "core/log.h"
#include "ui/popups/popupstack.h"
#include "ui/uitext.h"

namespace {

const char kContext[] = "CPopupQuestion";

QString SettingsKey(const QString& key)
{
    return QStringLiteral("questions/q_%1").arg(key);
}

// Whether a SLOT text names a slot without arguments ("1QuitApp()").
bool TakesNoArguments(const char* slot)
{
    const QByteArray signature = QMetaObject::normalizedSignature(slot + 1);
    return signature.endsWith("()");
}

} // namespace

CPopupQuestion::CPopupQuestion(const QString& key, int flags, bool defaultDontAsk, QObject* receiver,
                               const char* slot, const CTranslatedStringDesc& title,
                               const CTranslatedStringDesc& text)
    : QFrame(nullptr), m_key(key), m_title(new QLabel(this)), m_text(new QLabel(this)),
      m_dontAsk(new QCheckBox(this)), m_yes(new QPushButton(this)), m_no(new QPushButton(this))
{
    setObjectName(QStringLiteral("popupQuestion"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_title->setObjectName(QStringLiteral("title"));
    m_title->setWordWrap(true);
    SetUiText(m_title, "text", title);
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setWordWrap(true);
    SetUiText(m_text, "text", text);
    m_text->setVisible(!text.IsEmpty());

    m_dontAsk->setObjectName(QStringLiteral("dontAsk"));
    SetUiText(m_dontAsk, "text", CTranslatedStringDesc("Don't ask me again", kContext));
    m_hasBox = (flags & QuestionDontAskBox) && !key.isEmpty();
    m_dontAsk->setVisible(m_hasBox);
    m_dontAsk->setChecked(!key.isEmpty() && IsDontAsk(key, defaultDontAsk));

    m_yes->setObjectName(QStringLiteral("yes"));
    SetUiText(m_yes, "text", CTranslatedStringDesc("Yes", kContext));
    m_no->setObjectName(QStringLiteral("no"));
    SetUiText(m_no, "text", CTranslatedStringDesc("No", kContext));
    ((flags & QuestionNoIsDefault) ? m_no : m_yes)->setDefault(true);
    connect(m_yes, &QPushButton::clicked, this, &CPopupQuestion::OnBtnYesClicked);
    connect(m_no, &QPushButton::clicked, this, &CPopupQuestion::OnBtnNoClicked);

    auto* buttons = new QHBoxLayout();
    buttons->addWidget(m_dontAsk);
    buttons->addStretch(1);
    buttons->addWidget(m_yes);
    buttons->addWidget(m_no);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_text);
    layout->addLayout(buttons);

    if (receiver && slot) {
        // A slot without arguments must never see the "No" answer.
        const bool connected = TakesNoArguments(slot) ? connect(this, SIGNAL(WhenApproved()), receiver, slot)
                                                      : connect(this, SIGNAL(WhenAnswered(bool)), receiver, slot);
        if (!connected)
            WriteLog("CPopupQuestion::CPopupQuestion: failed to connect receiver");
    }
    SetPopupFlags(this, PopupFramed);
}

CPopupQuestion::~CPopupQuestion() = default;

bool CPopupQuestion::IsDontAsk(const QString& key, bool defaultValue)
{
    return QSettings().value(SettingsKey(key), defaultValue).toBool();
}

void CPopupQuestion::OnBtnYesClicked()
{
    m_approved = true;
    close();
}

void CPopupQuestion::OnBtnNoClicked()
{
    m_approved = false;
    close();
}

void CPopupQuestion::closeEvent(QCloseEvent* event)
{
    QFrame::closeEvent(event);
    if (m_answered || !event->isAccepted())
        return;
    m_answered = true;
    if (m_approved && m_hasBox && m_dontAsk->isChecked())
        QSettings().setValue(SettingsKey(m_key), true);
    emit WhenAnswered(m_approved);
    if (m_approved)
        emit WhenApproved();
}
