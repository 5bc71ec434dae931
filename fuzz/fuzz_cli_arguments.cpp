// brenmoor-cli's argument parser on any command line: it never crashes, a wrong line is
// refused with a message, and a request it accepts is one the runners can use as it stands
// (one link, ports and speeds in range, an address a frame can carry, a built MODBUS frame).
// Input: the arguments after the program's name, UTF-8, separated by NUL bytes.
#include "FuzzInput.h"

#include "cli/CliRequest.h"

#include <QCoreApplication>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "brenmoor-cli";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv); // the parser names the program in its help

    QStringList arguments{QStringLiteral("brenmoor-cli")};
    for (const QByteArray& argument : inputBytes(data, size).split('\0'))
        arguments << QString::fromUtf8(argument);
    const ParsedArguments parsed = parseArguments(arguments);
    switch (parsed.what) {
    case ParsedArguments::What::Usage:
    case ParsedArguments::What::Help:
        check(!parsed.message.isEmpty());
        return 0;
    case ParsedArguments::What::Version:
        return 0;
    case ParsedArguments::What::Run:
        break;
    }
    const CliRequest& r = parsed.request;
    const LinkSpec& link = r.link;
    if (link.kind == LinkSpec::Kind::Udp) {
        check(!link.host.isEmpty() && link.remotePort > 0 && !link.framed);
        check(!link.localPort || *link.localPort > 0);
    } else {
        check(link.speed > 0 && link.host.isEmpty());
        check(!link.localPort);
    }
    check(link.frameAddress >= 0 && link.frameAddress <= 255);
    check(!(link.framed && link.viaUsb));
    check(r.timeoutMs >= 1 && r.timeoutMs <= 86400 * 1000);
    check(r.quietMs >= 1 && r.quietMs <= 600000);
    check(!r.hex || r.command == Command::Monitor);
    check(r.command == Command::Modbus || r.modbusFrame.isEmpty());
    return 0;
}
