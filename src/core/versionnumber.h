#pragma once
// A program version: four number parts, a build text and a label text ("1.0.0.209", "2118", "Beta 1").
#include <QMetaType>
#include <QString>

class CVersionNumber
{
public:
    CVersionNumber() = default;
    CVersionNumber(int p0, int p1, int p2, int p3, const QString& buildText = QString(),
                   const QString& labelText = QString());

    int parts[4] = {0, 0, 0, 0};
    QString build;
    QString label;

    // -1, 0 or 1 over the four number parts (build and label do not count).
    static int Compare(const CVersionNumber& a, const CVersionNumber& b);
    // The first `count` parts (1..4) joined with "."; with withLabel and a label, a blank and the label.
    QString ToString(int count = 4, bool withLabel = false) const;
    // Dotted text of one to four parts (missing parts 0), optionally followed by a blank and a label,
    // as ToString writes it; the zero version when the text does not parse.
    static CVersionNumber FromString(const QString& text);
    // All four parts 0.
    bool IsZero() const;

    bool operator==(const CVersionNumber& other) const;
    bool operator!=(const CVersionNumber& other) const { return !(*this == other); }
};

// The running program's version record.
CVersionNumber GetAppVersion();

Q_DECLARE_METATYPE(CVersionNumber)
