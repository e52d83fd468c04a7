#pragma once
// What the tag reader gives of a media file.
#include <QMetaType>
#include <QString>

class CFileMetadata
{
public:
    QString filePath;
    int formatIndex = -1;  // index into the supported media-format table, -1 = none
    QString title;
    QString artist;
    QString album;
    int id3v2Version = -1;  // ID3v2 major version (2, 3, 4), -1 when unknown or no ID3v2 tag
};

class CSongMetadata : public CFileMetadata
{
public:
    CSongMetadata() = default;
    explicit CSongMetadata(const CFileMetadata& file) : CFileMetadata(file) {}

    int trackNumber = -1;  // -1 = no value
    int discNumber = -1;
    int year = -1;
    QString genre;
};

Q_DECLARE_METATYPE(CFileMetadata)
Q_DECLARE_METATYPE(CSongMetadata)
