#include "core/versionnumber.h"

#include <QStringList>

CVersionNumber::CVersionNumber(int p0, int p1, int p2, int p3, const QString& buildText, const QString& labelText)
    : parts{p0, p1, p2, p3}
    , build(buildText)
    , label(labelText)
{
}

int CVersionNumber::Compare(const CVersionNumber& a, const CVersionNumber& b)
{
    for (int i = 0; i < 4; ++i) {
        if (a.parts[i] < b.parts[i])
            return -1;
        if (a.parts[i] > b.parts[i])
            return 1;
    }
    return 0;
}

QString CVersionNumber::ToString(int count, bool withLabel) const
{
    count = qBound(1, count, 4);
    QStringList numbers;
    for (int i = 0; i < count; ++i)
        numbers.append(QString::number(parts[i]));
    QString text = numbers.join(QLatin1Char('.'));
    if (withLabel && !label.isEmpty())
        text += QLatin1Char(' ') + label;
    return text;
}

CVersionNumber CVersionNumber::FromString(const QString& text)
{
    const QString trimmed = text.trimmed();
    int blank = 0;
    while (blank < trimmed.size() && !trimmed.at(blank).isSpace())
        ++blank;
    const QStringList numbers = trimmed.left(blank).split(QLatin1Char('.'));
    if (numbers.size() > 4)
        return CVersionNumber();

    CVersionNumber version;
    for (int i = 0; i < numbers.size(); ++i) {
        const QString& number = numbers.at(i);
        // Digits only: toInt alone would take signs and blanks.
        for (const QChar c : number) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return CVersionNumber();
        }
        bool ok = false;
        version.parts[i] = number.toInt(&ok);
        if (!ok)  // empty or too large
            return CVersionNumber();
    }
    version.label = trimmed.mid(blank).trimmed();
    return version;
}

bool CVersionNumber::IsZero() const
{
    return parts[0] == 0 && parts[1] == 0 && parts[2] == 0 && parts[3] == 0;
}

bool CVersionNumber::operator==(const CVersionNumber& other) const
{
    return Compare(*this, other) == 0 && build == other.build && label == other.label;
}

CVersionNumber GetAppVersion()
{
    return CVersionNumber(1, 0, 0, 209, QStringLiteral("2118"), QStringLiteral("Beta 1"));
}
