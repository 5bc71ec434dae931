// The host list beside Connect: Add, Del, and Save to terminal.ini as the next start reads it.
#include "UdpPeer.h"

#include <QDir>

class TestUdpHosts : public QObject {
    Q_OBJECT
private slots:
    void editSaveAndRestart();
    void saveFailureShowsErrorBox();
};

void TestUdpHosts::editSaveAndRestart() {
    WorkDir dir;
    ScriptedDialogs dialogs;
    const QStringList saved{"10.0.0.2", "10.0.0.1", "10.0.0.2"}; // in order, duplicates kept
    {
        UDP w(&dialogs);
        const QStringList start = hostEntries(w); // no terminal.ini: the built-in address
        w.ComboRemoteIP->setEditText(QString());
        w.Add_ip->click();
        QCOMPARE(hostEntries(w), start);
        for (const QString& host : saved) {
            w.ComboRemoteIP->setEditText(host);
            w.Add_ip->click();
        }
        QCOMPARE(hostEntries(w), start + saved);
        QCOMPARE(w.focusWidget(), w.tbSendData);
        w.ComboRemoteIP->setCurrentIndex(0);
        w.Del_ip->click();
        // A typed text that is no entry selects nothing, so nothing is removed.
        w.ComboRemoteIP->setEditText(QStringLiteral("10.9.9.9"));
        w.Del_ip->click();
        QCOMPARE(hostEntries(w), saved);
        w.SaveIP->click();
    }
    QCOMPARE(readFile(QStringLiteral("terminal.ini")),
             QByteArray("10.0.0.2\r\n10.0.0.1\r\n10.0.0.2\r\n"));
    UDP again(&dialogs);
    QCOMPARE(hostEntries(again), saved);
    QCOMPARE(again.ComboRemoteIP->currentIndex(), 0);
    QVERIFY(dialogs.errors.isEmpty());
}

void TestUdpHosts::saveFailureShowsErrorBox() {
    Terminal w;
    QVERIFY(QDir().mkdir(QStringLiteral("terminal.ini")));
    w.SaveIP->click();
    QCOMPARE(w.dialogs().errors.size(), 1);
    QVERIFY(w.dialogs().errors.first().number > 0);
    QVERIFY(!w.dialogs().errors.first().description.isEmpty());
}

QTEST_MAIN(TestUdpHosts)
#include "tst_udphosts.moc"
