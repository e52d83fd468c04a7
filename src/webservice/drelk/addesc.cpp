#include "webservice/drelk/addesc.h"

#include "core/log.h"
#include "webservice/url/coreurl.h"

#include <zlib.h>

namespace Drelk {

namespace {

quint32 Crc32(const QByteArray& bytes)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.constData()), static_cast<uInt>(bytes.size()));
    return static_cast<quint32>(crc);
}

// A short read leaves ReadPastEnd, which setStatus would keep; every refusal reads as corrupt data.
void MarkCorrupt(QDataStream& stream)
{
    stream.resetStatus();
    stream.setStatus(QDataStream::ReadCorruptData);
}

} // namespace

bool CAdDesc::IsEmpty() const
{
    return placement.isEmpty() && link.isEmpty() && text.isEmpty() && imageUrl.isEmpty();
}

QDataStream& operator<<(QDataStream& stream, const CAdDesc& ad)
{
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_5_15);
        out << ad.placement << QString::fromUtf8(ad.link.toEncoded()) << ad.text
            << QString::fromUtf8(ad.imageUrl.toEncoded()) << ad.imageData;
    }
    if (payload.size() > CAdDesc::MaxPayload) {
        WriteLog("Drelk::operator<<(CAdDesc): payload of %d bytes too large %x", payload.size(), E_INVALIDARG);
        stream.setStatus(QDataStream::WriteFailed);
        return stream;
    }
    stream << CAdDesc::StreamMagic << CAdDesc::StreamVersion << payload << Crc32(payload);
    return stream;
}

QDataStream& operator>>(QDataStream& stream, CAdDesc& ad)
{
    ad = CAdDesc();
    quint32 magic = 0;
    quint16 version = 0;
    stream >> magic >> version;
    if (stream.status() != QDataStream::Ok || magic != CAdDesc::StreamMagic || version != CAdDesc::StreamVersion) {
        WriteLog("Drelk::operator>>(CAdDesc): not an ad stream %x", E_INVALIDARG);
        MarkCorrupt(stream);
        return stream;
    }
    // The length is checked before the payload is read, so a damaged length cannot make us allocate gigabytes.
    quint32 length = 0;
    stream >> length;
    if (stream.status() != QDataStream::Ok || length == 0xFFFFFFFFu || length > quint32(CAdDesc::MaxPayload)) {
        WriteLog("Drelk::operator>>(CAdDesc): payload length %u refused %x", length, E_INVALIDARG);
        MarkCorrupt(stream);
        return stream;
    }
    QByteArray payload(static_cast<int>(length), Qt::Uninitialized);
    if (length > 0 && stream.readRawData(payload.data(), static_cast<int>(length)) != static_cast<int>(length)) {
        WriteLog("Drelk::operator>>(CAdDesc): payload cut short %x", E_INVALIDARG);
        MarkCorrupt(stream);
        return stream;
    }
    quint32 crc = 0;
    stream >> crc;
    if (stream.status() != QDataStream::Ok || crc != Crc32(payload)) {
        WriteLog("Drelk::operator>>(CAdDesc): checksum mismatch %x", E_INVALIDARG);
        MarkCorrupt(stream);
        return stream;
    }
    QDataStream in(payload);
    in.setVersion(QDataStream::Qt_5_15);
    QString link;
    QString imageUrl;
    CAdDesc read;
    in >> read.placement >> link >> read.text >> imageUrl >> read.imageData;
    if (in.status() != QDataStream::Ok) {
        WriteLog("Drelk::operator>>(CAdDesc): payload unreadable %x", E_INVALIDARG);
        MarkCorrupt(stream);
        return stream;
    }
    read.link = CoreUrl::ParseWebUrl(link);
    read.imageUrl = CoreUrl::ParseWebUrl(imageUrl);
    if (!read.imageData.isEmpty())
        read.image.loadFromData(read.imageData);
    ad = read;
    return stream;
}

} // namespace Drelk
