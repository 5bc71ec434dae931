// Keyword help: its tables and trigger, then as the operator meets it in the window's command line.
#include "TestSupport.h"
#include "app/TerminalWindow.h"
#include "form/ClickLabel.h"
#include "help/HelpPanel.h"
#include "help/HelpTrigger.h"
#include "help/KeywordTables.h"

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

QStringList groupOf(bool functions, char letter) {
    QStringList out;
    for (std::string_view k :
         (functions ? keywords::functionsFor : keywords::statementsFor)(letter))
        out << QString::fromLatin1(k.data(), static_cast<qsizetype>(k.size()));
    return out;
}
} // namespace

class TestHelpWindow : public QObject {
    Q_OBJECT
private slots:
    void groupsHoldTheirLetterOnly();
    void helpKind_data();
    void helpKind();
    void typing_data();
    void typing();
    void insert_data();
    void insert();
    void clickKeepsFocusAndBackspaceEmpties();
};

// A lower-case letter finds its upper-case group, and no byte outside the letters (the ranges'
// neighbours, bytes above 0x7F) reads past the table.
void TestHelpWindow::groupsHoldTheirLetterOnly() {
    for (const bool functions : {false, true}) {
        for (int byte = 0; byte < 256; ++byte) {
            const char c = char(byte);
            if (c >= 'a' && c <= 'z')
                QCOMPARE(groupOf(functions, c), groupOf(functions, char(c - 'a' + 'A')));
            else if (c < 'A' || c > 'Z')
                QVERIFY2(groupOf(functions, c).isEmpty(), qPrintable(QString::number(byte)));
        }
    }
}

void TestHelpWindow::helpKind_data() {
    QTest::addColumn<QString>("textBefore");
    QTest::addColumn<HelpKind>("expected");
    QTest::newRow("empty line") << "" << HelpKind::Statements;
    QTest::newRow("A: two chars") << "A:" << HelpKind::None;
    QTest::newRow("10 space") << "10 " << HelpKind::Statements;
    QTest::newRow("A : three chars") << "A :" << HelpKind::Statements;
    QTest::newRow("A=") << "A=" << HelpKind::Functions;
    QTest::newRow("PRINT ADC{") << "PRINT ADC{" << HelpKind::Functions;
}

void TestHelpWindow::helpKind() {
    QFETCH(QString, textBefore);
    QFETCH(HelpKind, expected);
    QCOMPARE(helpKindFor(textBefore), expected);
}

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
    Terminal w;
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
}

void TestHelpWindow::insert() {
    QFETCH(QString, keys);
    QFETCH(int, index);
    QFETCH(QString, expected);
    QFETCH(QString, line);
    Terminal w;
    w.commandEdit->clear();
    QTest::keyClicks(w.commandEdit, keys);
    w.commandEdit->setText(line);
    w.commandEdit->setCursorPosition(0); // the insertion goes to the end regardless
    w.helpPanel().insertKeyword(static_cast<qint16>(index));
    QCOMPARE(w.commandEdit->text(), expected);
    QCOMPARE(w.commandEdit->cursorPosition(), int(expected.size()));
}

void TestHelpWindow::clickKeepsFocusAndBackspaceEmpties() {
    Terminal w;
    w.commandEdit->clear();
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

    w.commandEdit->setText(QStringLiteral("p"));
    QTest::keyClick(w.commandEdit, Qt::Key_Backspace);
    QCOMPARE(w.commandEdit->text(), QString());
    QVERIFY(!captions(w).isEmpty()); // the line held "p" when Backspace was judged
    QTest::keyClick(w.commandEdit, Qt::Key_Backspace);
    QCOMPARE(captions(w), QStringList{});
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
