#pragma once
// The text manager that the main window makes on first use; it holds no service of its own yet.
#include <QObject>

namespace CoreText {

class CManager : public QObject
{
    Q_OBJECT
public:
    explicit CManager(QObject* parent);
};

} // namespace CoreText
