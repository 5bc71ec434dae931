// The MODBUS panels: the text the hex monitor and the parser keep, trimmed at its front past a
// ceiling, and its box, which follows by removing at its front (or emptying) and adding at its
// end, never redrawing it all; then in the window, what the controls put on the wire, what
// received chunks leave in the monitor and the parser, and the gateway set-up commands.
#include "TestSupport.h"
#include "console/ConsoleModel.h"
#include "core/ShownText.h"
#include "link/PtyPair.h"
#include "link/UdpPeer.h"
#include "modbus/BoundedText.h"
#include "modbus/BoundedTextView.h"
#include "modbus/HexMonitor.h"
#include "modbus/HexText.h"
#include "modbus/ModbusBuilderPanel.h"
#include "modbus/ModbusParserPanel.h"
#include "modbus/ModbusRequest.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTextDocument>

namespace {

constexpr int Patience = 20000; // ms; a ceiling for a loaded machine, never a pause

ModbusRequestFields request(const char* address, const char* function, const char* param,
                            const char* qty) {
    ModbusRequestFields f;
    f.deviceAddress = address;
    f.function = function;
    f.dataAddress = param;
    f.quantity = qty;
    return f;
}

void fill(TerminalWindow& w, const ModbusRequestFields& f) {
    w.deviceAddressEdit->setText(f.deviceAddress);
    w.functionEdit->setText(f.function);
    w.dataAddressEdit->setText(f.dataAddress);
    w.dataAddressHexCheck->setChecked(f.dataAddressIsHex);
    w.dataAddressCheck->setChecked(f.withDataAddress);
    w.quantityEdit->setText(f.quantity);
    w.quantityHexCheck->setChecked(f.quantityIsHex);
    w.quantityCheck->setChecked(f.withQuantity);
    w.dataBlockCheck->setChecked(f.withDataBlock);
    w.dataBlockEdit->setText(f.dataBlock);
    (f.dataBlockIsHex ? w.dataHexOption : w.dataAsciiOption)->setChecked(true);
    w.crcCheck->setChecked(f.withCrc);
    w.crlfCheck->setChecked(f.withCrLf);
}

// Sent after a step that must put nothing (more) on the wire: the next bytes must be these.
const QByteArray Marker = QByteArray::fromHex("01 03 00 00 00 01 84 0A");
void sendMarker(TerminalWindow& w) {
    fill(w, request("01", "03", "0000", "0001"));
    w.sendFrameButton->click();
}

bool openSerial(TerminalWindow& w, const PtyPair& pty) {
    w.portEdit->setText(pty.slavePath());
    w.openPortButton->click();
    return w.link().serialOpen();
}

QString shown(const QByteArray& boxText) {
    return QString::fromLatin1(boxText).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

} // namespace

class TestModbusPanels : public QObject {
    Q_OBJECT
private slots:
    void trim();
    void viewFollowsTheModel_data();
    void viewFollowsTheModel();
    void builderSendsFramesAndInitPort();
    void monitorAndParser();
    void ethernetGatewayClosesFlashDisk();
};

// The hex monitor's bound: 16000 kept, one more cut to 12000, and a chunk longer than that.
void TestModbusPanels::trim() {
    for (const auto& [before, added, after] :
         {std::tuple{15990, 10, 16000}, {16000, 1, 12000}, {5000, 65507 * 3, 12000}}) {
        BoundedText box(BoundedText::HexTrimAbove, BoundedText::HexTrimTo);
        const QByteArray all = numberedLines("", 40000).left(before + added);
        box.append(all.left(before));
        box.append(all.mid(before));
        QCOMPARE(box.text(), all.right(after));
        QCOMPARE(box.cutBytes(), qint64(all.size() - after));
        QCOMPARE(box.lastCutByte(), after < all.size() ? all.at(all.size() - after - 1) : char(0));
    }
}

void TestModbusPanels::viewFollowsTheModel_data() {
    QTest::addColumn<int>("above");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("longestChunk");
    QTest::addColumn<int>("rounds");
    QTest::newRow("hex monitor, chunks past the whole box") << 16000 << 12000 << 40000 << 300;
    QTest::newRow("tiny box, cut at every chunk") << 40 << 25 << 30 << 300;
    // Cuts of far more lines than are taken out one by one: the box is emptied and refilled.
    QTest::newRow("parser-sized box") << 400'000 << 300'000 << 90000 << 12;
}

// Line ends and the stand-in for NUL as everywhere, a CR LF pair cut by the trim or by the
// chunks still one line end; no undo steps, which would grow without end.
void TestModbusPanels::viewFollowsTheModel() {
    QFETCH(int, above);
    QFETCH(int, to);
    QFETCH(int, longestChunk);
    QFETCH(int, rounds);
    BoundedText model(above, to);
    QPlainTextEdit edit;
    BoundedTextView view(model, &edit);

    struct Change { // where, removed, added, the length after it
        int at, removed, added, length;
    };
    QList<Change> changes;
    connect(edit.document(), &QTextDocument::contentsChange, this,
            [&](int at, int removed, int added) {
                changes.append({at, removed, added, edit.document()->characterCount() - 1});
            });

    QRandomGenerator random(7);
    const QByteArray alphabet("ab\r\n\r\n\0\xc0 ", 10);
    for (int round = 0; round < rounds; ++round) {
        for (int n = random.bounded(1, 4); n > 0; --n) {
            QByteArray chunk(random.bounded(1, longestChunk), Qt::Uninitialized);
            for (char& c : chunk)
                c = alphabet.at(random.bounded(int(alphabet.size())));
            model.append(chunk);
        }
        changes.clear();
        view.sync();

        LineEnds ends;
        if (model.lastCutByte() == '\r')
            ends.scan(
                "\r", [](QByteArrayView) {}, [] {});
        QCOMPARE(edit.toPlainText(), shownText(model.text(), ends));
        QVERIFY(!edit.document()->isUndoAvailable());
        for (const Change& c : changes) {
            // Text comes only at the end, into a box that lost nothing in the same step (an
            // emptied box reports one odd change of its own).
            const bool added = c.added > 0 && !(c.removed == 0 && c.length == 0);
            QVERIFY2(!added || (c.removed == 0 && c.at + c.added == c.length),
                     qPrintable(QStringLiteral("round %1, at %2").arg(round).arg(c.at)));
        }
    }
}

// On a pseudo-terminal with both gateway modes on (they wrap command lines, never a built frame);
// the marker after the refused frame and the set-up commands proves nothing else went out.
void TestModbusPanels::builderSendsFramesAndInitPort() {
    ModbusRequestFields hello = request("10", "43", "", "");
    hello.withDataAddress = hello.withQuantity = false;
    hello.withDataBlock = true;
    hello.dataBlockIsHex = false;
    hello.dataBlock = "hello";
    ModbusRequestFields decimal = request("10", "3", "300", "");
    decimal.dataAddressIsHex = false;
    decimal.withCrLf = true;
    ModbusRequestFields odd = request("0A", "10", "0000", "0001");
    odd.withDataBlock = true;
    odd.dataBlock = "010";
    const QByteArray frames = QByteArray::fromHex("10 43 05 68 65 6C 6C 6F E1 A2"
                                                  "10 03 01 2C 00 00 86 BE 0D 0A");

    Terminal w;
    PtyPair pty;
    QVERIFY(openSerial(w, pty));
    w.ethGatewayCheck->setChecked(true);
    w.rtuGatewayCheck->setChecked(true);
    fill(w, hello);
    w.sendFrameButton->click();
    QCOMPARE(w.state().replyAwaited, qint16(1));
    fill(w, decimal);
    w.sendFrameButton->click();
    QVERIFY(w.dialogs().messages.isEmpty());
    QCOMPARE(pty.receive(frames.size(), Patience).toHex(' '), frames.toHex(' '));
    fill(w, odd);
    w.sendFrameButton->click();
    QVERIFY(w.dialogs().messages.size() == 1 &&
            w.dialogs().messages.first().endsWith(QLatin1String("|Invalid DATA")));

    // The USB controller's set-up goes out only in the via-USB mode, and then plain.
    w.viaUsbCheck->setChecked(true);
    w.deviceAddressEdit->setFocus();
    w.initUsbPortButton->click();
    QCOMPARE(w.focusWidget(), w.deviceAddressEdit);
    w.viaUsbCheck->setChecked(false);
    w.initUsbPortButton->click();
    sendMarker(w);
    const QByteArray rest = "UART 2,7\r\n" + Marker;
    QCOMPARE(pty.receive(rest.size(), Patience).toHex(' '), rest.toHex(' '));
    WAIT_COMPARE(w.sentFramesEdit->toPlainText(),
                 shown(HexText::logEntry(frames.left(10)) + HexText::logEntry(frames.mid(10)) +
                       HexText::logEntry(Marker)));
    w.clearFramesButton->click();
    WAIT_COMPARE(w.sentFramesEdit->toPlainText(), QString());
}

// Chunks pass the monitor and the parser unless the monitor is ticked, and reach the console
// either way; the parser gives a request's reply time to the first reply it reads only.
void TestModbusPanels::monitorAndParser() {
    const QByteArray reply = QByteArray::fromHex("0A 03 04 00 01 00 02 90 F2");
    Terminal w;
    UdpPeer board;
    QVERIFY(connectWindow(w, board.port()));
    fill(w, request("0A", "03", "0000", "0002"));
    w.sendFrameButton->click();
    QByteArray wire;
    QVERIFY(board.receive(&wire, Patience));
    QCOMPARE(wire.toHex(' '), QByteArray("0a 03 00 00 00 02 c5 70"));
    w.parserEnableCheck->setChecked(true);
    QVERIFY(board.sendTo(w, "OK\r\n"));
    WAIT_VERIFY(w.console().text().endsWith("OK\r\n"));
    QCOMPARE(w.hexMonitor().model().size() + w.modbusParser().model().size(), 0);

    // The operator clicked into the box; the next chunk brings the caret back to the end.
    w.parserEnableCheck->setChecked(false);
    w.hexEnableCheck->setChecked(true);
    QVERIFY(board.sendTo(w, reply));
    WAIT_VERIFY(w.console().text().endsWith(reply));
    w.hexMonitor().view().sync();
    w.hexEdit->moveCursor(QTextCursor::Start);
    QVERIFY(board.sendTo(w, QByteArray::fromHex("00FF")));
    WAIT_VERIFY(w.console().text().endsWith(QByteArray::fromHex("00FF")));
    w.hexMonitor().view().sync();
    const QString expected = QStringLiteral("0A 03 04 00 01 00 02 90 F2 \n\n00 FF \n\n");
    QCOMPARE(w.hexEdit->toPlainText(), expected);
    QCOMPARE(w.hexEdit->textCursor().position(), expected.size());
    QCOMPARE(w.modbusParser().model().size(), 0);
    QCOMPARE(w.state().replyAwaited, qint16(1)); // no parser, so the request is still pending

    w.parserEnableCheck->setChecked(true);
    QVERIFY(board.sendTo(w, reply));
    QVERIFY(board.sendTo(w, reply));
    WAIT_COMPARE(w.modbusParser().model().text().count("CRC = 90F2  Good"), qsizetype(2));
    const QByteArray text = w.modbusParser().model().text();
    QVERIFY2(text.startsWith("Time reply = ") && text.count("Time reply") == 1, text.constData());
    WAIT_COMPARE(w.parserEdit->toPlainText(), shown(text));

    w.clearParserButton->click();
    w.clearHexButton->click();
    WAIT_COMPARE(w.parserEdit->toPlainText() + w.hexEdit->toPlainText(), QString());

    // The largest datagram overflows the monitor at once: it keeps the hex limits' tail.
    const QByteArray big(65507, '\xA5');
    QVERIFY(board.sendTo(w, big));
    WAIT_COMPARE(w.hexMonitor().model().text(),
                 HexText::logEntry(big).right(BoundedText::HexTrimTo));
}

void TestModbusPanels::ethernetGatewayClosesFlashDisk() {
    Terminal w;
    UdpPeer board;
    QVERIFY(connectWindow(w, board.port()));
    QVERIFY(w.flashDiskFrame->isEnabled());

    w.deviceAddressEdit->setFocus();
    w.ethGatewayCheck->click();
    QVERIFY(!w.flashDiskFrame->isEnabled());

    // The set-up command is meant for the intermediary board: plain, though the mode is on.
    w.deviceAddressEdit->setFocus();
    w.initEthPortButton->click();
    QByteArray wire;
    QVERIFY(board.receive(&wire, Patience));
    QCOMPARE(wire, QByteArray("UART 2,7\r\n"));
    QCOMPARE(w.focusWidget(), w.commandEdit);
    w.ethGatewayCheck->click();
    QVERIFY(w.flashDiskFrame->isEnabled());
}

QTEST_MAIN(TestModbusPanels)
#include "tst_modbuspanels.moc"
