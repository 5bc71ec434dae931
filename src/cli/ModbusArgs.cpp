#include "cli/ModbusArgs.h"

#include "modbus/ModbusRequest.h"

namespace {

// Upper-case digits without "0x", or the message saying why the field is not hex.
Expected<QString> hexField(const QString& name, const QString& text, qsizetype maxDigits) {
    QString digits = text.trimmed().toUpper();
    if (digits.startsWith(QLatin1String("0X")))
        digits.remove(0, 2);
    for (const QChar c : digits) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')))
            return Failure{0, QStringLiteral("%1 is not a hex number: \"%2\"").arg(name, text)};
    }
    if (maxDigits > 0 && digits.size() > maxDigits)
        return Failure{0, QStringLiteral("%1 takes at most %2 hex digits: \"%3\"")
                              .arg(name)
                              .arg(maxDigits)
                              .arg(text)};
    return digits;
}

// A decimal field holds digits only: "12abc" or "1e3" is a slip, not 12 or 1.
std::optional<Failure> decimalField(const QString& name, const QString& text) {
    const QString digits = text.trimmed();
    if (digits.isEmpty())
        return Failure{0, QStringLiteral("%1 is empty").arg(name)};
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return Failure{0, QStringLiteral("%1 is not a decimal number: \"%2\"").arg(name, text)};
    }
    return std::nullopt;
}

QString refusalText(ModbusRefusal why) {
    switch (why) {
    case ModbusRefusal::OddHexData:
        return QStringLiteral("--data needs an even number of hex digits");
    case ModbusRefusal::DataTooLong:
        return QStringLiteral("the data block holds more than 255 bytes");
    case ModbusRefusal::DataNotEncodable:
        return QStringLiteral("--ascii holds a character outside Windows-1251");
    case ModbusRefusal::AddressOutOfRange:
        return QStringLiteral("a decimal --addr-param must be 0 to 32767");
    case ModbusRefusal::QuantityOutOfRange:
        return QStringLiteral("a decimal --qty must be 0 to 32767");
    }
    return {};
}

} // namespace

Expected<QByteArray> buildModbusFrame(const ModbusArgs& args) {
    if (args.hexData && args.asciiData)
        return Failure{0, QStringLiteral("--data and --ascii exclude each other")};

    ModbusRequestFields f;
    const auto address = hexField(QStringLiteral("ADDR"), args.address, 2);
    const auto function = hexField(QStringLiteral("FUNC"), args.function, 2);
    if (!address)
        return address.failure();
    if (!function)
        return function.failure();
    f.deviceAddress = *address;
    f.function = *function;

    f.withDataAddress = args.addrParam.has_value();
    f.dataAddressIsHex = !args.addrParamDecimal;
    if (args.addrParam) {
        f.dataAddress = *args.addrParam;
        if (!f.dataAddressIsHex) {
            if (const auto wrong = decimalField(QStringLiteral("--addr-param"), f.dataAddress))
                return *wrong;
        } else {
            const auto digits = hexField(QStringLiteral("--addr-param"), *args.addrParam, 4);
            if (!digits)
                return digits.failure();
            f.dataAddress = *digits;
        }
    }
    f.withQuantity = args.quantity.has_value();
    f.quantityIsHex = !args.quantityDecimal;
    if (args.quantity) {
        f.quantity = *args.quantity;
        if (!f.quantityIsHex) {
            if (const auto wrong = decimalField(QStringLiteral("--qty"), f.quantity))
                return *wrong;
        } else {
            const auto digits = hexField(QStringLiteral("--qty"), *args.quantity, 4);
            if (!digits)
                return digits.failure();
            f.quantity = *digits;
        }
    }
    f.withDataBlock = args.hexData || args.asciiData;
    f.dataBlockIsHex = !args.asciiData;
    if (args.hexData) {
        // Blanks between the pairs read better in a script; the panel's field has none.
        QString joined = *args.hexData;
        joined.remove(u' ');
        const auto digits = hexField(QStringLiteral("--data"), joined, 0);
        if (!digits)
            return digits.failure();
        f.dataBlock = *digits;
    } else if (args.asciiData) {
        f.dataBlock = *args.asciiData;
    }
    f.withCrc = !args.noCrc;
    f.withCrLf = args.crlf;

    const ModbusRequest request = buildModbusRequest(f);
    if (!request.ok())
        return Failure{0, QStringLiteral("%1: %2").arg(QLatin1String(InvalidDataMessage),
                                                       refusalText(*request.refusal))};
    return request.frame;
}
