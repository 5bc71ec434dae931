#include "link/SendPath.h"

#include "console/ConsoleModel.h"
#include "core/Cp1251.h"
#include "form/Controls.h"
#include "link/BoardLink.h"

#include <QLineEdit>

QByteArray SendPath::sendTypedLine() {
    const QByteArray line = Cp1251::toBytes(line_.commandEdit->text());
    // A failed send costs the board the line, not the operator: it is still logged and echoed.
    board_.sendCommandLine(line);
    console_.append("\r\n" + line, true, ConsoleModel::Source::Sent);
    line_.commandEdit->clear();
    line_.commandEdit->setFocus();
    return line;
}
