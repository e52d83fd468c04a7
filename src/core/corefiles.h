#pragma once
// The program's folders and small file-name helpers.
#include <QString>

#include "platform/com/combase.h"

// The data directory: the user's generic data location + "/Sonvero" (no trailing slash).
QString GetDataDirectory();

// Makes the data directory when it is missing; a result code.
HRESULT MakeDataDirectory();

// The folder for problem reports: data directory + "/reports".
QString GetReportsDirectory();

// The folder for temporary files: data directory + "/temp".
QString GetTempDirectory();

// Start-up: empties "temp" (the temporary-name counter restarts every run) and makes "temp" and
// "reports"; a result code.
HRESULT PrepareDataFolders();

// The next temporary file path in "temp", named by a counter that grows on every call
// (from any thread), with the suffix ".tmp". The file is not created.
QString MakeTempFileName();

// Whether a file (not a folder) exists at path.
bool FileExists(const QString& path);

// The suffix of the file name ("mp3" for "a/b.c/song.mp3"), with a leading "." when asked and the
// suffix is not empty.
QString FileSuffix(const QString& path, bool withDot);

// The file-name part of a path.
QString FileNameOfPath(const QString& path);
