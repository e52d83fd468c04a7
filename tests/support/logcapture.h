#pragma once
// Collects the log lines (every message of the toolkit's message output) written while it lives, instead
// of passing them on. One at a time.
#include <QStringList>
#include <QtGlobal>

namespace SvTest {

class CLogCapture
{
public:
    CLogCapture();
    ~CLogCapture();

    CLogCapture(const CLogCapture&) = delete;
    CLogCapture& operator=(const CLogCapture&) = delete;

    // The lines so far, oldest first.
    QStringList Lines() const;

private:
    QtMessageHandler m_previous;
};

} // namespace SvTest
