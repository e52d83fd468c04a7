#pragma once
// One advertisement: where it is placed, its link and text, its image (raw bytes as fetched and decoded) and
// the tracking pixels fired when it was fetched. Its stream form (the "last ad" file) carries a checksum.
#include <QByteArray>
#include <QDataStream>
#include <QImage>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUrl>

namespace Drelk {

struct CAdDesc
{
    QString placement;
    QUrl link;          // http or https only
    QString text;
    QByteArray imageData;
    QUrl imageUrl;      // http or https only
    QImage image;
    QList<QUrl> pixels; // tracking pixels (not kept in the stream form)

    // Nothing placed, linked, written or pictured.
    bool IsEmpty() const;

    // Stream layout: quint32 magic "SVAD", quint16 version 1, QByteArray payload (placement, link, text and
    // image address as strings, raw image bytes; Qt 5.15 stream format), quint32 CRC-32 of the payload.
    static constexpr quint32 StreamMagic = 0x53564144; // "SVAD"
    static constexpr quint16 StreamVersion = 1;
    static constexpr int MaxPayload = 4 * 1024 * 1024;
};

// Writes the ad with its checksum; a payload over the limit writes nothing and sets WriteFailed.
QDataStream& operator<<(QDataStream& stream, const CAdDesc& ad);
// Reads an ad, checks magic, version, size and checksum and decodes the image; on any fault the ad is
// empty and the stream status is ReadCorruptData.
QDataStream& operator>>(QDataStream& stream, CAdDesc& ad);

} // namespace Drelk

Q_DECLARE_METATYPE(Drelk::CAdDesc)
