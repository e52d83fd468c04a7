#include "core/translatedstring.h"

#include <QCoreApplication>
#include <cstring>

#include "core/coreinterfacelanguage.h"

namespace {

bool SameText(const char* a, const char* b)
{
    if (!a || !b)
        return a == b;
    return std::strcmp(a, b) == 0;
}

} // namespace

CTranslatedStringDesc::CTranslatedStringDesc(const char* sourceText, const char* context, const char* comment,
                                             int encoding, int pluralCount)
    : m_sourceText(sourceText), m_context(context), m_comment(comment), m_encoding(encoding),
      m_pluralCount(pluralCount)
{
}

CTranslatedStringDesc::CTranslatedStringDesc(const QString& plainText) : m_plainText(plainText)
{
}

QString CTranslatedStringDesc::Translate() const
{
    if (!m_sourceText)
        return m_plainText;
    return QCoreApplication::translate(m_context ? m_context : "", m_sourceText, m_comment, m_pluralCount);
}

QString CTranslatedStringDesc::FormatPlural(int n) const
{
    if (!m_sourceText)
        return QString(m_plainText).replace(QLatin1String("%n"), QString::number(n));
    return QCoreApplication::translate(m_context ? m_context : "", m_sourceText, m_comment, n);
}

QVariant CTranslatedStringDesc::ToVariant() const
{
    return QVariant::fromValue(*this);
}

CTranslatedStringDesc CTranslatedStringDesc::FromVariant(const QVariant& value)
{
    if (value.userType() != qMetaTypeId<CTranslatedStringDesc>())
        return CTranslatedStringDesc();
    return value.value<CTranslatedStringDesc>();
}

bool CTranslatedStringDesc::operator==(const CTranslatedStringDesc& other) const
{
    return SameText(m_sourceText, other.m_sourceText) && SameText(m_context, other.m_context) &&
           SameText(m_comment, other.m_comment) && m_encoding == other.m_encoding &&
           m_pluralCount == other.m_pluralCount && m_plainText == other.m_plainText;
}

void SetTranslatedProperty(QObject* object, const char* property, const CTranslatedStringDesc& text)
{
    CCoreInterfaceLanguage* language = GetCoreInterfaceLanguage();
    if (!language || !object || !property)
        return;
    language->RegisterTranslatedProperty(object, property, text);
}

void SetTranslatedText(QObject* object, const CTranslatedStringDesc& text)
{
    SetTranslatedProperty(object, "text", text);
}
