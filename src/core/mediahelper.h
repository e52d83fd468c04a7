#pragma once
// The tag layer: the supported media-format table and everything read from media files through TagLib.
// The rest of the program never touches TagLib types.
#include <QImage>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

#include "core/mediametadata.h"
#include "platform/com/combase.h"

// One supported file type.
struct CMediaFormatDesc
{
    enum : int
    {
        TypeNone = 0,
        TypeAudio = 1,
        TypePlaylist = 2,
    };

    int type = TypeNone;
    int deviceFormatCode = -1;  // MTP object format code (0x3009 for mp3); not positive when none
    QStringList extensions;     // lower case, without the dot
};

class CCoreMediaHelper
{
public:
    // Picture type in the ID3v2 numbering (3 front cover, 4 back cover, ...) -> image.
    typedef QMap<int, QImage> CPictureTable;

    // The table, built once (thread-safe) on first use or by RegisterSupportedMediaFormats.
    static const QVector<CMediaFormatDesc>& GetFormatTable();
    // Builds the table; start-up calls it once before any file is looked at.
    static void RegisterSupportedMediaFormats();

    // Position of the entry whose extensions hold the name's suffix (without regard to case), or
    // FormatTableEnd() (also for a name without suffix).
    static int FindFormatEntry(const QString& fileName);
    static int FormatTableEnd();
    // The entry's type, 0 for an index outside the table.
    static int GetFormatTypeByIndex(int index);
    // The type by the file's suffix: 1 audio, 2 playlist, 0 not supported.
    static int GetFormatTypeByFile(const QString& fileName);
    // The entry's device format code, -1 for an index outside the table.
    static int GetDeviceFormatCodeByIndex(int index);

    // Reads path, format index, title, artist, album and the ID3v2 major version; a negative code on failure.
    static HRESULT GetFileMetadata(const QString& path, CFileMetadata& metadata);
    // Fills the table with the pictures embedded in the file's tags (the first one of each type wins);
    // a negative code when the file cannot be read. A file without pictures gives 0 and an empty table.
    static HRESULT GetFileMetadataPictures(const QString& path, CPictureTable& pictures);
    // Writes the file's tags, per container and tag type, to the log.
    static void DumpFileMetadata(const QString& path);

    // Each of / \ & * : " ' . ? < > | becomes "_".
    static QString ToSafeFileName(const QString& text);
    // True when a character has a code from 128 to 255.
    static bool HasLatin1Chars(const QString& text);
};
