#include "support/logcapture.h"

namespace SvTest {

namespace {

QStringList s_lines;

void CaptureMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    s_lines.append(message);
}

} // namespace

CLogCapture::CLogCapture()
{
    s_lines.clear();
    m_previous = qInstallMessageHandler(CaptureMessage);
}

CLogCapture::~CLogCapture()
{
    qInstallMessageHandler(m_previous);
}

QStringList CLogCapture::Lines() const
{
    return s_lines;
}

} // namespace SvTest
