#include "app/ClickLabel.h"
#include "app/Controls.h"
#include "help/HelpPanel.h"

#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>

// The panel's controls built the way the window does: 15 entries and the command line.
class HelpPanelTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { delete window_; }
    void typing_data();
    void typing();
    void insert_data();
    void insert();
    void mouseClickKeepsFocus();

private:
    void showGroupOf(bool functions, int key);

    QWidget* window_ = nullptr;
    Controls c_;
    HelpPanel* panel_ = nullptr;
};

void HelpPanelTest::init() {
    window_ = new QWidget;
    auto* layout = new QVBoxLayout(window_);
    c_ = Controls{};
    c_.tbSendData = new QLineEdit(window_);
    layout->addWidget(c_.tbSendData);
    for (ClickLabel*& label : c_.Label14)
        layout->addWidget(label = new ClickLabel(window_));
    panel_ = new HelpPanel(c_, window_);
    panel_->connectControls();
    // Something on show, so that emptying and leaving alone can be told apart.
    showGroupOf(false, 'G');
}

void HelpPanelTest::showGroupOf(bool functions, int key) {
    qint16 keyAscii = static_cast<qint16>(key);
    functions ? panel_->Update_help_FUNK(keyAscii) : panel_->Update_help_OPER(keyAscii);
    QCOMPARE(keyAscii, static_cast<qint16>(key));
}

void HelpPanelTest::typing_data() {
    QTest::addColumn<QString>("textBefore");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("shown");
    const QStringList kept{"GOSUB", "GOTO"};
    const QStringList none;
    QTest::newRow("p on empty line")
        << "" << int('p') << QStringList{"PAUSE", "POINT", "POKE", "PORT", "PRINT", "PWM1", "PWM2"};
    QTest::newRow("m after ADC{") << "PRINT ADC{" << int('m')
                                  << QStringList{"MDI{}", "MDR{}",  "MDW{}", "MDSR{}", "MDSW{}",
                                                 "MHZ{}", "MID${}", "MIN{}", "MONTH{}"};
    QTest::newRow("a after 10 space") << "10 " << int('a') << QStringList{"AT"};
    QTest::newRow("Y after A=") << "A=" << int('Y') << QStringList{"YEAR{}"};
    QTest::newRow("J no statements") << "" << int('J') << none;
    QTest::newRow("b no functions") << "A=" << int('b') << none;
    QTest::newRow("line number") << "" << int('1') << none;
    QTest::newRow("paren") << "A:B:" << int('(') << none;
    QTest::newRow("backspace") << "" << 8 << none;
    QTest::newRow("@ below A") << "" << int('@') << none;
    QTest::newRow("[ above Z") << "A=" << int('[') << none;
    QTest::newRow("` below a") << "" << int('`') << none;
    QTest::newRow("{ above z") << "A=" << int('{') << none;
    QTest::newRow("A+256 must not wrap") << "" << int('A') + 256 << none;
    QTest::newRow("A: calls neither") << "A:" << int('P') << kept;
    QTest::newRow("no narrowing") << "r" << int('u') << kept;
}

void HelpPanelTest::typing() {
    QFETCH(QString, textBefore);
    QFETCH(int, key);
    QFETCH(QStringList, shown);
    qint16 keyAscii = static_cast<qint16>(key);
    panel_->onCommandLineKey(textBefore, keyAscii);
    QCOMPARE(keyAscii, static_cast<qint16>(key));
    while (shown.size() < HelpPanel::Entries)
        shown << QString();
    QStringList captions;
    for (const ClickLabel* label : c_.Label14)
        captions << label->text();
    QCOMPARE(captions, shown);
}

void HelpPanelTest::insert_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("functions");
    QTest::addColumn<int>("letter"); // the group on show
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");
    QTest::newRow("P to PRINT") << "P" << false << int('P') << 4 << "PRINT";
    QTest::newRow("10 G to GOTO") << "10 G" << false << int('G') << 1 << "10 GOTO";
    QTest::newRow("A=S to SIN{}") << "A=S" << true << int('S') << 8 << "A=SIN{}";
    QTest::newRow("second letter typed") << "PR" << false << int('P') << 4 << "PPRINT";
    QTest::newRow("empty entry") << "ABC" << false << int('A') << 5 << "AB";
    QTest::newRow("empty line") << "" << false << int('D') << 0 << "DATA";
    QTest::newRow("long line not cut")
        << QString(75, u'X') + u'P' << false << int('P') << 0 << QString(75, u'X') + "PAUSE";
}

void HelpPanelTest::insert() {
    QFETCH(QString, line);
    QFETCH(bool, functions);
    QFETCH(int, letter);
    QFETCH(int, index);
    QFETCH(QString, expected);
    showGroupOf(functions, letter);
    c_.tbSendData->setText(line);
    c_.tbSendData->setCursorPosition(0); // the insertion goes to the end regardless

    panel_->Label14_Click(static_cast<qint16>(index));

    QCOMPARE(c_.tbSendData->text(), expected);
    QCOMPARE(c_.tbSendData->cursorPosition(), int(expected.size()));
}

void HelpPanelTest::mouseClickKeepsFocus() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    c_.tbSendData->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), c_.tbSendData);
    showGroupOf(false, 'p');
    c_.tbSendData->setText("10 p");

    QTest::mouseClick(c_.Label14[4], Qt::LeftButton);

    QCOMPARE(c_.tbSendData->text(), QString("10 PRINT"));
    QCOMPARE(c_.tbSendData->cursorPosition(), 8);
    QCOMPARE(QApplication::focusWidget(), c_.tbSendData);
}

QTEST_MAIN(HelpPanelTest)
#include "tst_helppanel.moc"
