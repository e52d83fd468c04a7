#include "core/mediahelper.h"

#include <QFile>
#include <QFileInfo>

#include <taglib/aifffile.h>
#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/asfpicture.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4coverart.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include "core/log.h"
#include "core/resultcodes.h"

namespace {

QString ToQString(const TagLib::String& text)
{
    return QString::fromUtf8(text.toCString(true));
}

QByteArray ToQByteArray(const TagLib::ByteVector& bytes)
{
    return QByteArray(bytes.data(), int(bytes.size()));
}

QVector<CMediaFormatDesc> BuildFormatTable()
{
    struct Row
    {
        int type;
        int code;
        const char* extensions;
    };
    static const Row rows[] = {
        {CMediaFormatDesc::TypeAudio, 0x3009, "mp3"},
        {CMediaFormatDesc::TypeAudio, 0xB901, "wma"},
        {CMediaFormatDesc::TypeAudio, 0x3008, "wav"},
        {CMediaFormatDesc::TypeAudio, 0xB902, "ogg"},
        {CMediaFormatDesc::TypeAudio, 0xB906, "flac"},
        {CMediaFormatDesc::TypeAudio, 0xB903, "aac"},
        {CMediaFormatDesc::TypeAudio, 0xB982, "m4a mp4"},
        {CMediaFormatDesc::TypePlaylist, 0xBA11, "m3u"},
    };
    QVector<CMediaFormatDesc> table;
    for (const Row& row : rows) {
        CMediaFormatDesc desc;
        desc.type = row.type;
        desc.deviceFormatCode = row.code;
        desc.extensions = QString::fromLatin1(row.extensions).split(QLatin1Char(' '));
        table.append(desc);
    }
    return table;
}

// The file's ID3v2 tag, whatever its container, or null.
TagLib::ID3v2::Tag* FindId3v2Tag(TagLib::File* file)
{
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file))
        return mpeg->hasID3v2Tag() ? mpeg->ID3v2Tag() : nullptr;
    if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file))
        return flac->hasID3v2Tag() ? flac->ID3v2Tag() : nullptr;
    if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(file))
        return wav->hasID3v2Tag() ? wav->ID3v2Tag() : nullptr;
    if (auto* aiff = dynamic_cast<TagLib::RIFF::AIFF::File*>(file))
        return aiff->hasID3v2Tag() ? aiff->tag() : nullptr;
    return nullptr;
}

// The code of a file TagLib could not open: a missing file is told apart from an unreadable one.
HRESULT OpenFailure(const QString& path)
{
    return QFileInfo::exists(path) ? E_FAIL : SV_E_FILE_MISSING;
}

// Opens the file with TagLib; false when TagLib cannot read it.
bool OpenFile(const QString& path, bool readAudioProperties, TagLib::FileRef& ref)
{
    QFileInfo info(path);
    if (!info.isFile())  // TagLib would happily "open" a folder named x.mp3
        return false;
    ref = TagLib::FileRef(QFile::encodeName(path).constData(), readAudioProperties);
    if (ref.isNull() || !ref.file()->isValid())
        return false;
    // TagLib takes any bytes named .mp3 as an MPEG file; without a single audio frame it is none.
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(ref.file()))
        return mpeg->firstFrameOffset() >= 0;
    return true;
}

void AddPicture(CCoreMediaHelper::CPictureTable& pictures, int type, const TagLib::ByteVector& data,
                const QString& path)
{
    if (pictures.contains(type))
        return;
    QImage image;
    if (!image.loadFromData(ToQByteArray(data))) {
        WriteLog("CCoreMediaHelper::GetFileMetadataPictures: unreadable picture type=%d [%ls]", type,
                 qUtf16Printable(path));
        return;
    }
    pictures.insert(type, image);
}

void AddId3v2Pictures(TagLib::ID3v2::Tag* tag, CCoreMediaHelper::CPictureTable& pictures, const QString& path)
{
    if (!tag)
        return;
    const TagLib::ID3v2::FrameList& frames = tag->frameListMap()["APIC"];
    for (TagLib::ID3v2::Frame* frame : frames) {
        if (auto* apic = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame))
            AddPicture(pictures, int(apic->type()), apic->picture(), path);
    }
}

void AddFlacPictures(const TagLib::List<TagLib::FLAC::Picture*>& list, CCoreMediaHelper::CPictureTable& pictures,
                     const QString& path)
{
    for (TagLib::FLAC::Picture* picture : list)
        AddPicture(pictures, int(picture->type()), picture->data(), path);
}

void LogLine(const QString& section, const QString& key, const QString& value)
{
    WriteLog("CCoreMediaHelper::DumpFileMetadata: [%ls] %ls=%ls", qUtf16Printable(section), qUtf16Printable(key),
             qUtf16Printable(value));
}

void DumpPropertyMap(const QString& section, const TagLib::PropertyMap& properties)
{
    for (auto it = properties.begin(); it != properties.end(); ++it) {
        QStringList values;
        for (const TagLib::String& value : it->second)
            values.append(ToQString(value));
        LogLine(section, ToQString(it->first), values.join(QStringLiteral("; ")));
    }
    if (!properties.unsupportedData().isEmpty()) {
        QStringList keys;
        for (const TagLib::String& key : properties.unsupportedData())
            keys.append(ToQString(key));
        LogLine(section, QStringLiteral("(other)"), keys.join(QStringLiteral("; ")));
    }
}

void DumpPicture(const QString& section, int type, const TagLib::String& mime, const TagLib::ByteVector& data)
{
    WriteLog("CCoreMediaHelper::DumpFileMetadata: [%ls] picture type=%d mime=%ls bytes=%u", qUtf16Printable(section),
             type, qUtf16Printable(ToQString(mime)), data.size());
}

void DumpId3v2(TagLib::ID3v2::Tag* tag)
{
    if (!tag)
        return;
    const QString section = QStringLiteral("ID3v2.%1").arg(tag->header()->majorVersion());
    for (TagLib::ID3v2::Frame* frame : tag->frameList()) {
        if (auto* apic = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame)) {
            DumpPicture(section, int(apic->type()), apic->mimeType(), apic->picture());
            continue;
        }
        const QString id = QString::fromLatin1(ToQByteArray(frame->frameID()));
        LogLine(section, id, ToQString(frame->toString()));
    }
}

void DumpFlacPictures(const QString& section, const TagLib::List<TagLib::FLAC::Picture*>& list)
{
    for (TagLib::FLAC::Picture* picture : list)
        DumpPicture(section, int(picture->type()), picture->mimeType(), picture->data());
}

void DumpXiph(TagLib::Ogg::XiphComment* tag)
{
    if (!tag)
        return;
    const QString section = QStringLiteral("Xiph");
    DumpPropertyMap(section, tag->properties());
    DumpFlacPictures(section, tag->pictureList());
}

void DumpMp4(TagLib::MP4::Tag* tag)
{
    if (!tag)
        return;
    const QString section = QStringLiteral("MP4");
    DumpPropertyMap(section, tag->properties());
    if (tag->contains("covr")) {
        for (const TagLib::MP4::CoverArt& art : tag->item("covr").toCoverArtList())
            DumpPicture(section, 3, TagLib::String(art.format() == TagLib::MP4::CoverArt::PNG ? "png" : "other"),
                        art.data());
    }
}

void DumpAsf(TagLib::ASF::Tag* tag)
{
    if (!tag)
        return;
    const QString section = QStringLiteral("ASF");
    const TagLib::ASF::AttributeListMap& attributes = tag->attributeListMap();
    for (auto it = attributes.begin(); it != attributes.end(); ++it) {
        for (const TagLib::ASF::Attribute& attribute : it->second) {
            if (attribute.type() == TagLib::ASF::Attribute::BytesType && it->first == "WM/Picture") {
                const TagLib::ASF::Picture picture = attribute.toPicture();
                DumpPicture(section, int(picture.type()), picture.mimeType(), picture.picture());
                continue;
            }
            LogLine(section, ToQString(it->first), ToQString(attribute.toString()));
        }
    }
}

} // namespace

const QVector<CMediaFormatDesc>& CCoreMediaHelper::GetFormatTable()
{
    static const QVector<CMediaFormatDesc> table = BuildFormatTable();
    return table;
}

void CCoreMediaHelper::RegisterSupportedMediaFormats()
{
    GetFormatTable();
}

int CCoreMediaHelper::FormatTableEnd()
{
    return GetFormatTable().size();
}

int CCoreMediaHelper::FindFormatEntry(const QString& fileName)
{
    const int nameStart = fileName.lastIndexOf(QLatin1Char('/')) + 1;
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < nameStart)
        return FormatTableEnd();
    const QString suffix = fileName.mid(dot + 1).toLower();
    if (suffix.isEmpty())
        return FormatTableEnd();
    const QVector<CMediaFormatDesc>& table = GetFormatTable();
    for (int i = 0; i < table.size(); ++i) {
        if (table.at(i).extensions.contains(suffix))
            return i;
    }
    return FormatTableEnd();
}

int CCoreMediaHelper::GetFormatTypeByIndex(int index)
{
    const QVector<CMediaFormatDesc>& table = GetFormatTable();
    if (index < 0 || index >= table.size())
        return CMediaFormatDesc::TypeNone;
    return table.at(index).type;
}

int CCoreMediaHelper::GetFormatTypeByFile(const QString& fileName)
{
    return GetFormatTypeByIndex(FindFormatEntry(fileName));
}

int CCoreMediaHelper::GetDeviceFormatCodeByIndex(int index)
{
    const QVector<CMediaFormatDesc>& table = GetFormatTable();
    if (index < 0 || index >= table.size())
        return -1;
    return table.at(index).deviceFormatCode;
}

HRESULT CCoreMediaHelper::GetFileMetadata(const QString& path, CFileMetadata& metadata)
{
    metadata = CFileMetadata();
    if (path.isEmpty()) {
        WriteLog("CCoreMediaHelper::GetFileMetadata: no file name");
        return E_INVALIDARG;
    }
    metadata.filePath = path;
    const int index = FindFormatEntry(path);
    metadata.formatIndex = index < FormatTableEnd() ? index : -1;

    TagLib::FileRef ref;
    if (!OpenFile(path, false, ref)) {
        WriteLog("CCoreMediaHelper::GetFileMetadata: failed");
        return OpenFailure(path);
    }
    if (TagLib::Tag* tag = ref.tag()) {
        metadata.title = ToQString(tag->title());
        metadata.artist = ToQString(tag->artist());
        metadata.album = ToQString(tag->album());
    }
    if (TagLib::ID3v2::Tag* id3v2 = FindId3v2Tag(ref.file()))
        metadata.id3v2Version = int(id3v2->header()->majorVersion());
    return 0;
}

HRESULT CCoreMediaHelper::GetFileMetadataPictures(const QString& path, CPictureTable& pictures)
{
    pictures.clear();
    if (path.isEmpty()) {
        WriteLog("CCoreMediaHelper::GetFileMetadataPictures: no file name");
        return E_INVALIDARG;
    }
    TagLib::FileRef ref;
    if (!OpenFile(path, false, ref)) {
        const HRESULT err = OpenFailure(path);
        WriteLog("CCoreMediaHelper::GetFileMetadataPictures: failed %x [%ls]", err, qUtf16Printable(path));
        return err;
    }
    TagLib::File* file = ref.file();
    if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) {
        AddFlacPictures(flac->pictureList(), pictures, path);
        if (flac->hasXiphComment())
            AddFlacPictures(flac->xiphComment()->pictureList(), pictures, path);
    } else if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file)) {
        // MP4 cover art has no picture type: it is the front cover.
        TagLib::MP4::Tag* tag = mp4->tag();
        if (tag && tag->contains("covr")) {
            for (const TagLib::MP4::CoverArt& art : tag->item("covr").toCoverArtList())
                AddPicture(pictures, 3, art.data(), path);
        }
    } else if (auto* asf = dynamic_cast<TagLib::ASF::File*>(file)) {
        TagLib::ASF::Tag* tag = asf->tag();
        if (tag && tag->contains("WM/Picture")) {
            for (const TagLib::ASF::Attribute& attribute : tag->attribute("WM/Picture")) {
                const TagLib::ASF::Picture picture = attribute.toPicture();
                if (picture.isValid())
                    AddPicture(pictures, int(picture.type()), picture.picture(), path);
            }
        }
    } else if (auto* xiph = dynamic_cast<TagLib::Ogg::XiphComment*>(file->tag())) {
        AddFlacPictures(xiph->pictureList(), pictures, path);
    }
    AddId3v2Pictures(FindId3v2Tag(file), pictures, path);
    return 0;
}

void CCoreMediaHelper::DumpFileMetadata(const QString& path)
{
    TagLib::FileRef ref;
    if (path.isEmpty() || !OpenFile(path, true, ref)) {
        WriteLog("CCoreMediaHelper::DumpFileMetadata: failed %x [%ls]", E_FAIL, qUtf16Printable(path));
        return;
    }
    TagLib::File* file = ref.file();
    QString container = QStringLiteral("other");
    if (dynamic_cast<TagLib::MPEG::File*>(file))
        container = QStringLiteral("MPEG");
    else if (dynamic_cast<TagLib::FLAC::File*>(file))
        container = QStringLiteral("FLAC");
    else if (dynamic_cast<TagLib::MP4::File*>(file))
        container = QStringLiteral("MP4");
    else if (dynamic_cast<TagLib::ASF::File*>(file))
        container = QStringLiteral("ASF");
    else if (dynamic_cast<TagLib::RIFF::WAV::File*>(file))
        container = QStringLiteral("WAV");
    else if (dynamic_cast<TagLib::RIFF::AIFF::File*>(file))
        container = QStringLiteral("AIFF");
    else if (dynamic_cast<TagLib::Ogg::XiphComment*>(file->tag()))
        container = QStringLiteral("Ogg");
    WriteLog("CCoreMediaHelper::DumpFileMetadata: file[%ls] container[%ls]", qUtf16Printable(path),
             qUtf16Printable(container));
    if (const TagLib::AudioProperties* audio = ref.audioProperties()) {
        WriteLog("CCoreMediaHelper::DumpFileMetadata: [audio] length=%dms bitrate=%dkbps rate=%dHz channels=%d",
                 audio->lengthInMilliseconds(), audio->bitrate(), audio->sampleRate(), audio->channels());
    }

    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file)) {
        DumpId3v2(FindId3v2Tag(file));
        if (mpeg->hasID3v1Tag())
            DumpPropertyMap(QStringLiteral("ID3v1"), mpeg->ID3v1Tag()->properties());
        if (mpeg->hasAPETag())
            DumpPropertyMap(QStringLiteral("APE"), mpeg->APETag()->properties());
    } else if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) {
        DumpXiph(flac->hasXiphComment() ? flac->xiphComment() : nullptr);
        DumpFlacPictures(QStringLiteral("FLAC"), flac->pictureList());
        DumpId3v2(FindId3v2Tag(file));
        if (flac->hasID3v1Tag())
            DumpPropertyMap(QStringLiteral("ID3v1"), flac->ID3v1Tag()->properties());
    } else if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file)) {
        DumpMp4(mp4->tag());
    } else if (auto* asf = dynamic_cast<TagLib::ASF::File*>(file)) {
        DumpAsf(asf->tag());
    } else if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(file)) {
        DumpId3v2(FindId3v2Tag(file));
        if (wav->hasInfoTag())
            DumpPropertyMap(QStringLiteral("RIFF INFO"), wav->InfoTag()->properties());
    } else if (dynamic_cast<TagLib::RIFF::AIFF::File*>(file)) {
        DumpId3v2(FindId3v2Tag(file));
    } else if (auto* xiph = dynamic_cast<TagLib::Ogg::XiphComment*>(file->tag())) {
        DumpXiph(xiph);
    } else if (file->tag()) {
        DumpPropertyMap(QStringLiteral("tag"), file->properties());
    }
}

QString CCoreMediaHelper::ToSafeFileName(const QString& text)
{
    static const QString unsafe = QStringLiteral("/\\&*:\"'.?<>|");
    QString safe = text;
    for (QChar& c : safe) {
        if (unsafe.contains(c))
            c = QLatin1Char('_');
    }
    return safe;
}

bool CCoreMediaHelper::HasLatin1Chars(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 128 && c.unicode() <= 255)
            return true;
    }
    return false;
}
