// The host list beside Connect: Add, Del, and Save to terminal.ini as the next start reads it.
#include "TestSupport.h"
#include "UdpPeer.h"

#include <QDir>

namespace {
QStringList entries(const UDP& w) {
    QStringList out;
    for (int i = 0; i < w.ComboRemoteIP->count(); ++i)
        out.append(w.ComboRemoteIP->itemText(i));
    return out;
}
} // namespace

class TestUdpHosts : public QObject {
    Q_OBJECT
private slots:
    void addAndDelete();
    void saveAndRestart_data();
    void saveAndRestart();
    void saveFailureShowsErrorBox();
};

void TestUdpHosts::addAndDelete() {
    WorkDir dir;
    ScriptedDialogs dialogs;
    UDP w(&dialogs);
    const QStringList start = entries(w);
    QCOMPARE(start.size(), 1); // no terminal.ini: the built-in address

    w.ComboRemoteIP->setEditText(QString());
    w.Add_ip->click();
    QCOMPARE(entries(w), start);
    QCOMPARE(w.focusWidget(), w.tbSendData);

    w.ComboRemoteIP->setEditText(QStringLiteral("10.0.0.7"));
    w.Add_ip->click();
    w.Add_ip->click();
    QCOMPARE(entries(w), start + QStringList({"10.0.0.7", "10.0.0.7"}));
    QCOMPARE(w.ComboRemoteIP->currentText(), QStringLiteral("10.0.0.7"));

    w.ComboRemoteIP->setCurrentIndex(0);
    w.Del_ip->click();
    QCOMPARE(entries(w), (QStringList{"10.0.0.7", "10.0.0.7"}));
    // A typed text that is no entry selects nothing, so nothing is removed.
    w.ComboRemoteIP->setEditText(QStringLiteral("10.9.9.9"));
    w.Del_ip->click();
    QCOMPARE(entries(w).size(), 2);
}

void TestUdpHosts::saveAndRestart_data() {
    QTest::addColumn<QStringList>("saved");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("nextStart"); // empty: the built-in address alone

    QTest::newRow("in order, duplicates kept") << QStringList{"10.0.0.2", "10.0.0.1", "10.0.0.2"}
                                               << QByteArray("10.0.0.2\r\n10.0.0.1\r\n10.0.0.2\r\n")
                                               << QStringList{"10.0.0.2", "10.0.0.1", "10.0.0.2"};
    QTest::newRow("comma splits at the next start")
        << QStringList{"10.0.0.1", "10.0.0.2,10.0.0.3"}
        << QByteArray("10.0.0.1\r\n10.0.0.2,10.0.0.3\r\n")
        << QStringList{"10.0.0.1", "10.0.0.2", "10.0.0.3"};
    QTest::newRow("empty list") << QStringList{} << QByteArray() << QStringList{};
}

void TestUdpHosts::saveAndRestart() {
    QFETCH(QStringList, saved);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, nextStart);
    WorkDir dir;
    ScriptedDialogs dialogs;
    QStringList builtIn;
    {
        UDP w(&dialogs);
        builtIn = entries(w);
        w.ComboRemoteIP->clear();
        w.ComboRemoteIP->addItems(saved);
        w.SaveIP->click();
    }
    QCOMPARE(readFile(QStringLiteral("terminal.ini")), file);
    UDP again(&dialogs);
    QCOMPARE(entries(again), nextStart.isEmpty() ? builtIn : nextStart);
    QCOMPARE(again.ComboRemoteIP->currentIndex(), 0);
    QVERIFY(dialogs.errors.isEmpty());
}

void TestUdpHosts::saveFailureShowsErrorBox() {
    WorkDir dir;
    ScriptedDialogs dialogs;
    UDP w(&dialogs);
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("terminal.ini")));
    w.ComboRemoteIP->setFocus();
    w.SaveIP->click();
    QCOMPARE(dialogs.errors.size(), 1);
    QVERIFY(dialogs.errors.first().number > 0);
    QVERIFY(!dialogs.errors.first().description.isEmpty());
    QCOMPARE(w.focusWidget(), w.tbSendData);
    QVERIFY(QFileInfo(dir.file(QStringLiteral("terminal.ini"))).isDir());
}

QTEST_MAIN(TestUdpHosts)
#include "tst_udphosts.moc"
