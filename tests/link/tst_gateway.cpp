// The link's pure byte work: the gateway forms, the framed-receive cutter and the reply lines.
#include "link/Gateway.h"
#include "link/ReplyLines.h"

#include <QTest>

// "OK" CR LF to address 16, as the board sends it.
static const QByteArray okFrame = QByteArray::fromHex("1043044F4B0D0A17A7");

class TestGateway : public QObject {
    Q_OBJECT
private slots:
    void addressAndFrames();
    void cutter_data();
    void cutter();
    void replyLines_data();
    void replyLines();
};

// The address as typed (a tie goes to the even neighbour); the frames it can and cannot carry.
void TestGateway::addressAndFrames() {
    const QList<std::pair<const char*, int>> typed{{"16.6", 17}, {"16.5", 16},
                                                   {"abc", 0},   {"16abc", 16},
                                                   {"-1", -1},   {"99999999999999999999", 1000000}};
    for (const auto& [text, address] : typed)
        QCOMPARE(rtuAddress(text), address);
    QCOMPARE(consoleTextFrame(255, "A").value_or("none").toHex(), QByteArray("ff4301410044"));
    QVERIFY(!consoleTextFrame(256, "A") && !consoleTextFrame(16, QByteArray(256, 'x')));
}

// Every chunk is one timer tick: the chunk joins the buffer and the cutter runs. Each tick is
// rendered as its actions ("C:" console text, "R:" routed payload), then "used" or "wait".
void TestGateway::cutter_data() {
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArrayList>("expected");
    const QByteArray listFrame = consoleTextFrame(16, "LIST\r\n").value();
    QByteArrayList bytes;
    for (char byte : okFrame)
        bytes << QByteArray(1, byte);
    QTest::newRow("byte by byte") << bytes
                                  << QByteArrayList{"C:\r\nError CMD  >> \x10"} +
                                         QByteArrayList(8, "wait") +
                                         QByteArrayList{"R:OK\r\n", "used"};
    QTest::newRow("two frames one chunk")
        << QByteArrayList{okFrame + listFrame} << QByteArrayList{"R:OK\r\n", "R:LIST\r\n", "used"};
    QByteArray badCrc = okFrame;
    badCrc[8] = '\x00';
    QTest::newRow("bad crc still routed")
        << QByteArrayList{badCrc}
        << QByteArrayList{"C:\r\nError CRC  >> OK\r\n", "R:OK\r\n", "used"};
    const QByteArray other = consoleTextFrame(17, "OK\r\n").value();
    QTest::newRow("wrong address")
        << QByteArrayList{other}
        << QByteArrayList{"C:\r\nError ADDR  >> " + other, "R:OK\r\n", "used"};
    // The longest payload: a length byte above 0x7F must not turn negative.
    const QByteArray y255(255, 'y');
    QTest::newRow("255-byte payload")
        << QByteArrayList{consoleTextFrame(16, y255).value_or(QByteArray())}
        << QByteArrayList{"R:" + y255, "used"};
}

void TestGateway::cutter() {
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArrayList, expected);
    FrameCutter cutter;
    QByteArrayList got;
    for (const QByteArray& chunk : chunks) {
        cutter.add(chunk);
        QList<CutAction> actions;
        FrameCutter::Stop stop = FrameCutter::Stop::FrameCut;
        while (stop == FrameCutter::Stop::FrameCut && !cutter.empty())
            stop = cutter.pass(16, actions);
        for (const CutAction& a : actions)
            got << (a.kind == CutAction::Kind::Console ? "C:" : "R:") + a.bytes;
        got << (stop == FrameCutter::Stop::FrameCut ? "used" : "wait");
    }
    QCOMPARE(got, expected);
    QCOMPARE(cutter.empty(), got.last() == "used");
}

// Replies cut anywhere come out as the board's lines; "^" marks a CR LF's late LF.
void TestGateway::replyLines_data() {
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<QByteArray>("partial");
    const QByteArray longLine(ReplyLines::MaxLine + 5, 'x');
    QTest::newRow("CR LF cut between") << QByteArrayList{"OK\r", "\nNEXT\r\n"}
                                       << QByteArrayList{"OK\r", "^\n", "NEXT\r\n"} << QByteArray();
    QTest::newRow("lone CR, lone LF, empty lines")
        << QByteArrayList{"A\rB\nC\r", "\r\n\n"}
        << QByteArrayList{"A\r", "B\n", "C\r", "\r\n", "\n"} << QByteArray();
    QTest::newRow("several lines and a start")
        << QByteArrayList{"10 A\r\n20 B\r\nO"} << QByteArrayList{"10 A\r\n", "20 B\r\n"}
        << QByteArray("O");
    QTest::newRow("a line that never ends is cut at the bound")
        << QByteArrayList{longLine.left(100), longLine.mid(100)}
        << QByteArrayList{longLine.left(ReplyLines::MaxLine)} << QByteArray(5, 'x');
}

void TestGateway::replyLines() {
    QFETCH(QByteArrayList, pieces);
    QFETCH(QByteArrayList, lines);
    QFETCH(QByteArray, partial);
    ReplyLines reader;
    QByteArrayList got;
    for (const QByteArray& piece : pieces) {
        for (const ReplyLines::Line& line : reader.feed(piece))
            got << (line.endOfPrevious ? "^" + line.bytes : line.bytes);
    }
    QCOMPARE(got, lines);
    QCOMPARE(reader.takePartial(), partial);
}

QTEST_GUILESS_MAIN(TestGateway)
#include "tst_gateway.moc"
