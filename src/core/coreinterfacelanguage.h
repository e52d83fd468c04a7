#pragma once
// The interface language: the compiled-in translations, the user's choice ("interface/translation"),
// the menu to change it and the display names of language codes.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QStringList>

#include "core/translatedstring.h"

class QAction;
class QMenu;
class QTranslator;

class CCoreInterfaceLanguage : public QObject
{
    Q_OBJECT
public:
    // The code of the built-in language, which needs no translation file.
    static const char* const DefaultLanguage;  // "en"

    // Installs the translation kept in the settings (else the system's language when there is a
    // translation for it, else English). There is one object at a time.
    explicit CCoreInterfaceLanguage(QObject* parent = nullptr);
    ~CCoreInterfaceLanguage() override;

    // Display name of a language code (lyric languages and interface languages); an empty descriptor
    // for an empty or unknown code.
    static CTranslatedStringDesc GetLanguageName(const QString& code);
    // The source text followed by each different, non-empty translation in every available
    // translation; only the plain text for a plain descriptor; empty for an empty one.
    static QStringList GetAllTranslations(const CTranslatedStringDesc& text);
    // Codes of the interface languages, the built-in one first.
    static QStringList GetAvailableTranslations();

    // The "Interface Language" menu (owned by this object), or null while feature 2 is off.
    QMenu* GetLanguageMenu();

    QString GetCurrentTranslation() const { return m_current; }
    // Installs the translation, keeps the choice in the settings, re-applies the translated properties
    // and emits WhenLocaleChanged. 0x800700A0 for a code without translation.
    int SetCurrentTranslation(const QString& code);

    // Used by SetTranslatedProperty.
    void RegisterTranslatedProperty(QObject* object, const char* property, const CTranslatedStringDesc& text);

signals:
    void WhenLocaleChanged();

private slots:
    void OnLanguageActionTriggered(QAction* action);
    void OnTranslatedObjectDestroyed(QObject* object);

private:
    int InstallTranslation(const QString& code);
    void ReapplyProperties();
    void UpdateMenuChecks();

    QString m_current;
    QTranslator* m_translator = nullptr;
    QPointer<QMenu> m_menu;
    QHash<QObject*, QList<QPair<QByteArray, CTranslatedStringDesc>>> m_properties;
};

// The interface-language object; null before it is made and after it is destroyed.
CCoreInterfaceLanguage* GetCoreInterfaceLanguage();
