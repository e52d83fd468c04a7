#include "support/mediawriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/xiphcomment.h>

namespace SvTest {

namespace {

TagLib::String ToTagString(const QString& text) { return TagLib::String(text.toUtf8().constData(), TagLib::String::UTF8); }

TagLib::ByteVector ToByteVector(const QByteArray& bytes) { return TagLib::ByteVector(bytes.constData(), uint(bytes.size())); }

TagLib::PropertyMap Properties(const CMediaTags& tags)
{
    TagLib::PropertyMap map;
    const QString values[] = {tags.title, tags.artist, tags.album, tags.genre,
                              tags.track > 0 ? QString::number(tags.track) : QString(),
                              tags.year > 0 ? QString::number(tags.year) : QString()};
    const char* const keys[] = {"TITLE", "ARTIST", "ALBUM", "GENRE", "TRACKNUMBER", "DATE"};
    for (int i = 0; i < 6; ++i) {
        if (!values[i].isEmpty())
            map.replace(keys[i], TagLib::StringList(ToTagString(values[i])));
    }
    return map;
}

// Silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz, 417 bytes each): zero side information and main
// data decode as silence; 40 frames last about a second.
QByteArray SilentMp3Frames()
{
    QByteArray frame(417, '\0');
    frame.replace(0, 4, QByteArray::fromHex("fffb9064"));
    return frame.repeated(40);
}

// "fLaC" and one STREAMINFO block: block sizes 4096, frame sizes unknown, 44.1 kHz, stereo, 16 bits,
// no samples, zero MD5.
QByteArray MinimalFlacStream()
{
    return QByteArray::fromHex("664c614380000022100010000000000000000ac442f000000000") + QByteArray(16, '\0');
}

} // namespace

CMediaPicture CMediaPicture::FromImage(int type, const QImage& image)
{
    CMediaPicture picture;
    picture.type = type;
    QBuffer buffer(&picture.data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return picture;
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() && file.flush();
}

bool WriteMp3(const QString& path, const CMediaTags& tags, int id3v2Version)
{
    if ((id3v2Version != 3 && id3v2Version != 4) || !WriteBytes(path, SilentMp3Frames()))
        return false;
    TagLib::MPEG::File file(QFile::encodeName(path).constData(), false);
    if (!file.isValid())
        return false;
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
    tag->setProperties(Properties(tags));
    for (const CMediaPicture& picture : tags.pictures) {
        auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
        frame->setType(static_cast<TagLib::ID3v2::AttachedPictureFrame::Type>(picture.type));
        frame->setMimeType("image/png");
        frame->setPicture(ToByteVector(picture.data));
        tag->addFrame(frame);
    }
    return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers,
                     id3v2Version == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4, TagLib::File::DoNotDuplicate);
}

bool WriteFlac(const QString& path, const CMediaTags& tags)
{
    if (!WriteBytes(path, MinimalFlacStream()))
        return false;
    TagLib::FLAC::File file(QFile::encodeName(path).constData(), false);
    if (!file.isValid())
        return false;
    file.xiphComment(true)->setProperties(Properties(tags));
    for (const CMediaPicture& picture : tags.pictures) {
        auto* block = new TagLib::FLAC::Picture;
        block->setType(static_cast<TagLib::FLAC::Picture::Type>(picture.type));
        block->setMimeType("image/png");
        block->setData(ToByteVector(picture.data));
        file.addPicture(block);
    }
    return file.save();
}

} // namespace SvTest
