#pragma once
// Writes small tagged media files for tests: a few silent MPEG frames or a minimal FLAC stream made by
// hand, then tags and pictures through TagLib. Deterministic, no encoder needed.
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace SvTest {

// One embedded PNG picture.
struct CMediaPicture
{
    int type = 3;  // ID3v2 picture type: 3 front cover, 4 back cover, ...
    QByteArray data;

    static CMediaPicture FromImage(int type, const QImage& image);
};

// The tags to write; empty texts and zero numbers are not written.
struct CMediaTags
{
    QString title;
    QString artist;
    QString album;
    QString genre;
    int track = 0;
    int year = 0;
    QList<CMediaPicture> pictures;
};

// Writes bytes to path (folders made); false on failure.
bool WriteBytes(const QString& path, const QByteArray& bytes);
// An MP3 of about a second with an ID3v2 tag of the given major version (3 or 4). False on failure.
bool WriteMp3(const QString& path, const CMediaTags& tags, int id3v2Version = 4);
// A FLAC file with a Xiph comment holding the tags and FLAC picture blocks. False on failure.
bool WriteFlac(const QString& path, const CMediaTags& tags);

} // namespace SvTest
