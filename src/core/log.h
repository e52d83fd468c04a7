#pragma once
// The program's one log: "sonvero.log" in the data directory, one timestamped line per call.
#include <QElapsedTimer>
#include <QString>

#include "platform/com/combase.h"

// printf-style; %ls takes a 16-bit string (QString::utf16()), %x a result code. One call, one line.
void WriteLog(const char* format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(1, 2);

// Writes one text as a log line of its own.
void DebugPrint(const QString& text);

// "<data dir>/sonvero.log".
QString GetLogFilePath();

// Start-up: keeps the previous run's log as "sonvero.log.1", starts a new file with a UTF-8
// byte-order mark and routes the toolkit's messages (WriteLog and Qt's own warnings) into it.
// The data directory must exist. A result code.
HRESULT OpenLog();

// Shutdown: stops writing to the file and closes it; later messages go to the standard error.
void CloseLog();

// Writes "<name>[TIME]=<elapsed>ms" to the log when it is destroyed.
class CStopwatch
{
public:
    explicit CStopwatch(const QString& name);
    ~CStopwatch();

    CStopwatch(const CStopwatch&) = delete;
    CStopwatch& operator=(const CStopwatch&) = delete;

private:
    QString m_name;
    QElapsedTimer m_timer;
};
