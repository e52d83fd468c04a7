#include "platform/wmp/simimport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>

namespace Platform {
namespace Wmp {

namespace {

QString ToQString(const TagLib::String& text)
{
    return QString::fromUtf8(text.toCString(true));
}

} // namespace

bool CSimImport::IsAudioFile(const QString& path)
{
    static const QStringList suffixes = {
        QStringLiteral("mp3"), QStringLiteral("wma"),  QStringLiteral("wav"), QStringLiteral("ogg"),
        QStringLiteral("oga"), QStringLiteral("flac"), QStringLiteral("aac"), QStringLiteral("m4a"),
        QStringLiteral("mp4"), QStringLiteral("aif"),  QStringLiteral("aiff"), QStringLiteral("opus"),
    };
    return suffixes.contains(QFileInfo(path).suffix().toLower());
}

QStringList CSimImport::FindAudioFiles(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Readable, QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (it.hasNext()) {
        const QString path = it.next();
        if (IsAudioFile(path))
            files.append(path);
    }
    files.sort();
    return files;
}

bool CSimImport::ReadFileValues(const QString& path, QHash<QString, QString>& values)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    values.insert(QStringLiteral("SourceURL"), QDir::toNativeSeparators(info.absoluteFilePath()));

    QString title;
    const TagLib::FileRef file(QFile::encodeName(info.absoluteFilePath()).constData(), true,
                               TagLib::AudioProperties::Fast);
    if (!file.isNull() && file.tag()) {
        const TagLib::Tag* tag = file.tag();
        title = ToQString(tag->title());
        values.insert(QStringLiteral("Author"), ToQString(tag->artist()));
        values.insert(QStringLiteral("WM/AlbumTitle"), ToQString(tag->album()));
        values.insert(QStringLiteral("WM/Genre"), ToQString(tag->genre()));
        if (tag->track() > 0)
            values.insert(QStringLiteral("WM/TrackNumber"), QString::number(tag->track()));
        if (tag->year() > 0)
            values.insert(QStringLiteral("ReleaseDateYear"), QString::number(tag->year()));
    }
    if (!file.isNull() && file.audioProperties())
        values.insert(QStringLiteral("Duration"),
                      QString::number(file.audioProperties()->lengthInMilliseconds() / 1000.0, 'f', 3));
    if (title.trimmed().isEmpty())
        title = info.completeBaseName();
    values.insert(QStringLiteral("Title"), title);
    return true;
}

} // namespace Wmp
} // namespace Platform
