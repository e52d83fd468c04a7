#include "support/mediawriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/xiphcomment.h>

namespace SvTest {

namespace {

TagLib::String ToTagString(const QString& text)
{
    return TagLib::String(text.toUtf8().constData(), TagLib::String::UTF8);
}

TagLib::ByteVector ToByteVector(const QByteArray& bytes)
{
    return TagLib::ByteVector(bytes.constData(), uint(bytes.size()));
}

QString NumberWithTotal(int number, int total)
{
    return total > 0 ? QStringLiteral("%1/%2").arg(number).arg(total) : QString::number(number);
}

TagLib::PropertyMap BuildProperties(const CMediaTags& tags)
{
    TagLib::PropertyMap map;
    auto put = [&map](const char* key, const QString& value) {
        if (!value.isEmpty())
            map.replace(key, TagLib::StringList(ToTagString(value)));
    };
    put("TITLE", tags.title);
    put("ARTIST", tags.artist);
    put("ALBUM", tags.album);
    put("GENRE", tags.genre);
    if (tags.track > 0)
        put("TRACKNUMBER", NumberWithTotal(tags.track, tags.trackTotal));
    if (tags.disc > 0)
        put("DISCNUMBER", NumberWithTotal(tags.disc, tags.discTotal));
    if (!tags.date.isEmpty())
        put("DATE", tags.date);
    else if (tags.year > 0)
        put("DATE", QString::number(tags.year));
    for (auto it = tags.properties.constBegin(); it != tags.properties.constEnd(); ++it) {
        TagLib::StringList values;
        for (const QString& value : it.value())
            values.append(ToTagString(value));
        map.replace(ToTagString(it.key()), values);
    }
    return map;
}

TagLib::ID3v2::AttachedPictureFrame* MakeApic(const CMediaPicture& picture)
{
    auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
    frame->setType(static_cast<TagLib::ID3v2::AttachedPictureFrame::Type>(picture.type));
    frame->setMimeType(ToTagString(picture.mimeType));
    frame->setDescription(ToTagString(picture.description));
    frame->setPicture(ToByteVector(picture.data));
    return frame;
}

TagLib::FLAC::Picture* MakeFlacPicture(const CMediaPicture& picture)
{
    auto* block = new TagLib::FLAC::Picture;
    block->setType(static_cast<TagLib::FLAC::Picture::Type>(picture.type));
    block->setMimeType(ToTagString(picture.mimeType));
    block->setDescription(ToTagString(picture.description));
    block->setData(ToByteVector(picture.data));
    QImage image;
    if (image.loadFromData(picture.data)) {
        block->setWidth(image.width());
        block->setHeight(image.height());
        block->setColorDepth(image.depth());
    }
    return block;
}

void AppendBigEndian(QByteArray& bytes, quint64 value, int byteCount)
{
    for (int i = byteCount - 1; i >= 0; --i)
        bytes.append(char((value >> (8 * i)) & 0xFF));
}

} // namespace

CMediaPicture CMediaPicture::FromImage(int type, const QImage& image, const char* format)
{
    CMediaPicture picture;
    picture.type = type;
    const QByteArray name = QByteArray(format).toLower();
    picture.mimeType = (name == "jpg" || name == "jpeg") ? QStringLiteral("image/jpeg")
                                                         : QStringLiteral("image/") + QString::fromLatin1(name);
    QBuffer buffer(&picture.data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return picture;
}

CMediaPicture CMediaPicture::Plain(int type, const QColor& color, const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return FromImage(type, image, "PNG");
}

bool CMediaTags::IsEmpty() const
{
    return title.isEmpty() && artist.isEmpty() && album.isEmpty() && genre.isEmpty() && track <= 0 && disc <= 0
        && year <= 0 && date.isEmpty() && properties.isEmpty() && pictures.isEmpty();
}

QByteArray SilentMp3Frames(int count)
{
    // MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, joint stereo, no CRC: 144 * 128000 / 44100 = 417 bytes.
    // Zero side information and main data decode as silence.
    QByteArray frame(417, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);
    frame[2] = char(0x90);
    frame[3] = char(0x64);
    QByteArray audio;
    audio.reserve(frame.size() * count);
    for (int i = 0; i < count; ++i)
        audio.append(frame);
    return audio;
}

QByteArray MinimalFlacStream()
{
    QByteArray stream("fLaC");
    stream.append(char(0x80));            // last metadata block, type 0 (STREAMINFO)
    AppendBigEndian(stream, 34, 3);       // block length
    AppendBigEndian(stream, 4096, 2);     // minimum block size
    AppendBigEndian(stream, 4096, 2);     // maximum block size
    AppendBigEndian(stream, 0, 3);        // minimum frame size (unknown)
    AppendBigEndian(stream, 0, 3);        // maximum frame size (unknown)
    // 20 bits sample rate, 3 bits channels - 1, 5 bits bits per sample - 1, 36 bits total samples.
    const quint64 packed = (quint64(44100) << 44) | (quint64(1) << 41) | (quint64(15) << 36);
    AppendBigEndian(stream, packed, 8);
    stream.append(QByteArray(16, '\0'));  // MD5 of the (absent) audio
    return stream;
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size() && file.flush();
}

bool WriteMp3(const QString& path, const CMediaTags& tags, int id3v2Version, bool withId3v1)
{
    if (id3v2Version != 0 && id3v2Version != 3 && id3v2Version != 4)
        return false;
    if (!WriteBytes(path, SilentMp3Frames()))
        return false;
    const bool withId3v2 = id3v2Version != 0;
    if (tags.IsEmpty() || (!withId3v2 && !withId3v1))
        return true;

    TagLib::MPEG::File file(QFile::encodeName(path).constData(), false);
    if (!file.isValid())
        return false;
    const TagLib::PropertyMap properties = BuildProperties(tags);
    int which = TagLib::MPEG::File::NoTags;
    if (withId3v2) {
        TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
        tag->setProperties(properties);
        for (const CMediaPicture& picture : tags.pictures)
            tag->addFrame(MakeApic(picture));
        which |= TagLib::MPEG::File::ID3v2;
    }
    if (withId3v1) {
        file.ID3v1Tag(true)->setProperties(properties);
        which |= TagLib::MPEG::File::ID3v1;
    }
    return file.save(which, TagLib::File::StripOthers,
                     id3v2Version == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4, TagLib::File::DoNotDuplicate);
}

bool WriteFlac(const QString& path, const CMediaTags& tags)
{
    if (!WriteBytes(path, MinimalFlacStream()))
        return false;
    if (tags.IsEmpty())
        return true;
    TagLib::FLAC::File file(QFile::encodeName(path).constData(), false);
    if (!file.isValid())
        return false;
    file.xiphComment(true)->setProperties(BuildProperties(tags));
    for (const CMediaPicture& picture : tags.pictures)
        file.addPicture(MakeFlacPicture(picture));
    return file.save();
}

} // namespace SvTest
