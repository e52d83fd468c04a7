#pragma once
// A text that follows the interface language: the source text with its context is kept and translated
// whenever it is shown, so a language switch can re-apply it.
#include <QMetaType>
#include <QString>
#include <QVariant>

class QObject;

class CTranslatedStringDesc
{
public:
    // Empty: no source text and no plain text.
    CTranslatedStringDesc() = default;
    // A translatable text; the pointers must outlive the descriptor (string literals).
    CTranslatedStringDesc(const char* sourceText, const char* context, const char* comment = nullptr,
                          int encoding = 0, int pluralCount = -1);
    // A plain text, shown as it is in every language.
    explicit CTranslatedStringDesc(const QString& plainText);

    bool IsEmpty() const { return !m_sourceText && m_plainText.isEmpty(); }
    bool IsPlainText() const { return !m_sourceText; }

    // The text in the current interface language, or the plain text when there is no source text.
    QString Translate() const;
    // The translation in the plural form for n, with %n replaced by n.
    QString FormatPlural(int n) const;
    // For item data and properties; FromVariant gives an empty descriptor for anything else.
    QVariant ToVariant() const;
    static CTranslatedStringDesc FromVariant(const QVariant& value);

    bool operator==(const CTranslatedStringDesc& other) const;
    bool operator!=(const CTranslatedStringDesc& other) const { return !(*this == other); }

    const char* m_sourceText = nullptr;  // UTF-8
    const char* m_context = nullptr;     // the class name of the text's user
    const char* m_comment = nullptr;
    int m_encoding = 0;                  // kept for callers; texts are UTF-8
    int m_pluralCount = -1;              // -1: no plural form
    QString m_plainText;
};

Q_DECLARE_METATYPE(CTranslatedStringDesc)

// Sets the property to the translated text now and again on every change of interface language. Does
// nothing while there is no interface-language object.
void SetTranslatedProperty(QObject* object, const char* property, const CTranslatedStringDesc& text);
// The same for the property "text".
void SetTranslatedText(QObject* object, const CTranslatedStringDesc& text);
