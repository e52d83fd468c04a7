#pragma once
// Reads audio files the way the simulated player fills its library: tags through TagLib, the title
// falling back to the file name.
#include <QHash>
#include <QString>
#include <QStringList>

namespace Platform {
namespace Wmp {

class CSimImport
{
public:
    // Whether the player takes the file, by its suffix.
    static bool IsAudioFile(const QString& path);
    // Every audio file below folder (sub-folders too), in a stable order.
    static QStringList FindAudioFiles(const QString& folder);
    // "SourceURL", "Title", "Author", "WM/AlbumTitle", "WM/TrackNumber", "WM/Genre", "ReleaseDateYear",
    // "Duration" (seconds) of an existing file; false when it is no file. A file TagLib cannot read still
    // gives its path and title.
    static bool ReadFileValues(const QString& path, QHash<QString, QString>& values);
};

} // namespace Wmp
} // namespace Platform
