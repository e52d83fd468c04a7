#pragma once
// Writes small tagged media files for tests: a few silent MPEG frames or a minimal FLAC stream made by
// hand, then tags and pictures through TagLib. Deterministic, no encoder needed.
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QMap>
#include <QSize>
#include <QString>
#include <QStringList>

namespace SvTest {

// One embedded picture.
struct CMediaPicture
{
    int type = 3;  // ID3v2 picture type: 3 front cover, 4 back cover, 1 file icon, ...
    QString mimeType = QStringLiteral("image/png");
    QString description;
    QByteArray data;  // the encoded image

    // A picture of the given type holding image encoded as format ("PNG" or "JPG").
    static CMediaPicture FromImage(int type, const QImage& image, const char* format = "PNG");
    // A plain picture of one colour, handy when only the type and the bytes matter.
    static CMediaPicture Plain(int type, const QColor& color, const QSize& size = QSize(8, 8));
};

// The tags to write; empty texts and zero numbers are not written.
struct CMediaTags
{
    QString title;
    QString artist;
    QString album;
    QString genre;
    int track = 0;
    int trackTotal = 0;  // written as "track/total" when both are set
    int disc = 0;
    int discTotal = 0;
    int year = 0;
    QString date;  // a full date text ("2003-05-17"); takes the place of year when set
    // Further tag properties by TagLib property name ("LYRICS", "COMMENT", several "ARTIST" values...).
    QMap<QString, QStringList> properties;
    QList<CMediaPicture> pictures;

    bool IsEmpty() const;
};

// The audio part of an MP3 file: count silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz, 417 bytes
// each); 40 frames last about one second.
QByteArray SilentMp3Frames(int count = 40);
// A FLAC stream without frames: "fLaC" and one STREAMINFO block (44.1 kHz, 16 bits, stereo).
QByteArray MinimalFlacStream();

// Writes bytes to path (folders made); false on failure.
bool WriteBytes(const QString& path, const QByteArray& bytes);

// An MP3 with an ID3v2 tag of the given major version (3 or 4; 0 = no ID3v2 tag) and, when asked, an ID3v1
// tag. Without tags and pictures the file holds only the audio frames. False on failure.
bool WriteMp3(const QString& path, const CMediaTags& tags, int id3v2Version = 4, bool withId3v1 = false);
// A FLAC file with a Xiph comment holding the tags and FLAC picture blocks. False on failure.
bool WriteFlac(const QString& path, const CMediaTags& tags);

} // namespace SvTest
