// Keyword help as the operator meets it: typing into the real command line of the window.
#include "TestSupport.h"
#include "app/ClickLabel.h"
#include "app/UDP.h"

#include <QLineEdit>
#include <QtTest>

namespace {
QStringList captions(const UDP& w) {
    QStringList out;
    for (ClickLabel* l : w.Label14)
        if (!l->text().isEmpty())
            out << l->text();
    return out;
}
} // namespace

class TestHelpWindow : public QObject {
    Q_OBJECT
private slots:
    void init() {
        work_ = std::make_unique<WorkDir>();
        window_ = std::make_unique<UDP>(&dialogs_);
        window_->tbSendData->clear();
    }
    void cleanup() {
        window_.reset();
        work_.reset();
    }

    void typing_data();
    void typing();
    void clickReplacesTheTypedLetterAndKeepsFocus();
    void backspaceOnEmptyLineEmptiesPanel();

private:
    ScriptedDialogs dialogs_;
    std::unique_ptr<WorkDir> work_;
    std::unique_ptr<UDP> window_;
};

void TestHelpWindow::typing_data() {
    QTest::addColumn<QString>("before"); // typed first, its help is what the row checks after
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("shown");
    const QStringList p{"PAUSE", "POINT", "POKE", "PORT", "PRINT", "PWM1", "PWM2"};
    QTest::newRow("first letter of a line") << ""
                                            << "p" << p;
    QTest::newRow("no narrowing on the second letter")
        << ""
        << "ru" << QStringList{"READ", "REBOOT", "REM", "RENAME", "RETURN", "RUN"};
    QTest::newRow("line number then statement") << ""
                                                << "10 G" << QStringList{"GOSUB", "GOTO"};
    QTest::newRow("two characters ending in a colon call nothing") << ""
                                                                   << "A:P" << QStringList{"AT"};
    QTest::newRow("function after =")
        << ""
        << "A=s" << QStringList{"SCOMP{}", "SCOMP${}", "SDATE{}", "SDT{}",    "SEC{}", "SGET{}",
                                "SHTH{}",  "SHTT{}",   "SIN{}",   "SINPUT{}", "SQR{}", "STIME{}"};
    QTest::newRow("after the start-up hint nothing is shown")
        << QString::fromUtf8("Команды набирать здесь") << "p" << QStringList{};
}

void TestHelpWindow::typing() {
    QFETCH(QString, before);
    QFETCH(QString, keys);
    QFETCH(QStringList, shown);
    UDP& w = *window_;
    w.tbSendData->setText(before);
    QTest::keyClicks(w.tbSendData, keys);
    QCOMPARE(w.tbSendData->text(), before + keys);
    QCOMPARE(captions(w), shown);
}

void TestHelpWindow::clickReplacesTheTypedLetterAndKeepsFocus() {
    UDP& w = *window_;
    w.show();
    w.activateWindow();
    w.tbSendData->setFocus();
    QTRY_VERIFY(w.tbSendData->hasFocus());
    QTest::keyClicks(w.tbSendData, "10 g");
    QCOMPARE(w.Label14[1]->text(), QString("GOTO"));
    QTest::mouseClick(w.Label14[1], Qt::LeftButton);
    QCOMPARE(w.tbSendData->text(), QString("10 GOTO"));
    QCOMPARE(w.tbSendData->cursorPosition(), 7);
    QVERIFY(w.tbSendData->hasFocus());
}

void TestHelpWindow::backspaceOnEmptyLineEmptiesPanel() {
    UDP& w = *window_;
    QTest::keyClicks(w.tbSendData, "p");
    QVERIFY(!captions(w).isEmpty());
    QTest::keyClick(w.tbSendData, Qt::Key_Backspace);
    QCOMPARE(w.tbSendData->text(), QString());
    QVERIFY(!captions(w).isEmpty()); // the line held "p" when Backspace was judged
    QTest::keyClick(w.tbSendData, Qt::Key_Backspace);
    QCOMPARE(captions(w), QStringList{});
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
