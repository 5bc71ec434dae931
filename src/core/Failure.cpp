#include "core/Failure.h"

#include <QFileDevice>

Failure fileFailure(const QFileDevice& file) {
    int number = ErrorNumber::PathAccess;
    switch (file.error()) {
    case QFileDevice::PermissionsError:
        number = ErrorNumber::PermissionDenied;
        break;
    case QFileDevice::ReadError:
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        number = ErrorNumber::DeviceIo;
        break;
    default:
        break;
    }
    QString why = file.errorString();
    if (why.isEmpty() || why == QLatin1String("Unknown error"))
        why = QStringLiteral("Cannot use %1").arg(file.fileName());
    return {number, why};
}
