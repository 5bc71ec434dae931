// Keyword help as the operator meets it: typing into the real command line of the window.
#include "TestSupport.h"
#include "app/TerminalWindow.h"
#include "form/ClickLabel.h"
#include "help/HelpPanel.h"

#include <QLineEdit>
#include <QtTest>

namespace {
QStringList captions(const TerminalWindow& w) {
    QStringList out;
    for (ClickLabel* l : w.helpLabels)
        if (!l->text().isEmpty())
            out << l->text();
    return out;
}
} // namespace

class TestHelpWindow : public QObject {
    Q_OBJECT
private slots:
    void init() {
        window_ = std::make_unique<Terminal>();
        window_->commandEdit->clear();
    }
    void cleanup() { window_.reset(); }

    void typing_data();
    void typing();
    void insert_data();
    void insert();
    void clickReplacesTheTypedLetterAndKeepsFocus();
    void backspaceOnEmptyLineEmptiesPanel();

private:
    std::unique_ptr<Terminal> window_;
};

void TestHelpWindow::typing_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("shown"); // the G group is on show before the keys
    QTest::addColumn<QString>("before");    // the command line before the keys
    const QStringList kept{"GOSUB", "GOTO"};
    QTest::newRow("no narrowing on the second letter")
        << "ru" << QStringList{"READ", "REBOOT", "REM", "RENAME", "RETURN", "RUN"} << "";
    QTest::newRow("function after =") << "A=y" << QStringList{"YEAR{}"} << "";
    QTest::newRow("letter without a group empties") << "J" << QStringList{} << "";
    QTest::newRow("after the start-up hint the panel is left alone")
        << "p" << kept << QString::fromUtf8("Команды набирать здесь");
}

void TestHelpWindow::typing() {
    QFETCH(QString, before);
    QFETCH(QString, keys);
    QFETCH(QStringList, shown);
    TerminalWindow& w = *window_;
    qint16 g = 'G';
    w.helpPanel().showStatements(g);
    w.commandEdit->setText(before);
    QTest::keyClicks(w.commandEdit, keys);
    QCOMPARE(w.commandEdit->text(), before + keys);
    QCOMPARE(captions(w), shown);
}

// A click puts the keyword in place of the last character, or removes it for an empty entry,
// wherever the caret was, and leaves the caret at the end.
void TestHelpWindow::insert_data() {
    QTest::addColumn<QString>("keys"); // typed to bring up the group
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("line"); // the command line when the entry is clicked
    QTest::newRow("A=S to SIN{}") << "A=S" << 8 << "A=SIN{}" << QString("A=S");
    QTest::newRow("second letter typed") << "PR" << 4 << "PPRINT" << QString("PR");
    QTest::newRow("empty entry") << "ABC" << 5 << "AB" << QString("ABC");
    QTest::newRow("empty line gets the caption") << "D" << 0 << "DATA" << QString();
    QTest::newRow("long line not cut")
        << "P" << 0 << QString(75, u'X') + "PAUSE" << QString(75, u'X') + u'P';
}

void TestHelpWindow::insert() {
    QFETCH(QString, keys);
    QFETCH(int, index);
    QFETCH(QString, expected);
    QFETCH(QString, line);
    TerminalWindow& w = *window_;
    QTest::keyClicks(w.commandEdit, keys);
    w.commandEdit->setText(line);
    w.commandEdit->setCursorPosition(0); // the insertion goes to the end regardless
    w.helpPanel().insertKeyword(static_cast<qint16>(index));
    QCOMPARE(w.commandEdit->text(), expected);
    QCOMPARE(w.commandEdit->cursorPosition(), int(expected.size()));
}

void TestHelpWindow::clickReplacesTheTypedLetterAndKeepsFocus() {
    TerminalWindow& w = *window_;
    w.show();
    w.activateWindow();
    w.commandEdit->setFocus();
    WAIT_VERIFY(w.commandEdit->hasFocus());
    QTest::keyClicks(w.commandEdit, "10 g");
    QCOMPARE(w.helpLabels[1]->text(), QString("GOTO"));
    QTest::mouseClick(w.helpLabels[1], Qt::LeftButton);
    QCOMPARE(w.commandEdit->text(), QString("10 GOTO"));
    QCOMPARE(w.commandEdit->cursorPosition(), 7);
    QVERIFY(w.commandEdit->hasFocus());
}

void TestHelpWindow::backspaceOnEmptyLineEmptiesPanel() {
    TerminalWindow& w = *window_;
    QTest::keyClicks(w.commandEdit, "p");
    QVERIFY(!captions(w).isEmpty());
    QTest::keyClick(w.commandEdit, Qt::Key_Backspace);
    QCOMPARE(w.commandEdit->text(), QString());
    QVERIFY(!captions(w).isEmpty()); // the line held "p" when Backspace was judged
    QTest::keyClick(w.commandEdit, Qt::Key_Backspace);
    QCOMPARE(captions(w), QStringList{});
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
