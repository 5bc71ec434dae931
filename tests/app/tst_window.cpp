// The window as a whole: its named controls, the width and case buttons, accessibility.
#include "TestSupport.h"
#include "app/ClickLabel.h"
#include "app/Lamp.h"
#include "app/UDP.h"
#include "app/WidthButtons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class TestWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { work_ = std::make_unique<WorkDir>(); }
    void cleanup() { work_.reset(); }

    void startsNarrowWithTheRightCaption();
    void widthButtons_data();
    void widthButtons();
    void caseButtonsKeepFocusInCommandLine();
    void stopButtonClearsUploadMode();
    void controlArraysAreAddressableByName();
    void everyInputHasAnAccessibleName();
    void panelsStartAsDesigned();

private:
    std::unique_ptr<WorkDir> work_;
};

void TestWindow::startsNarrowWithTheRightCaption() {
    ScriptedDialogs d;
    UDP w(&d);
    QCOMPARE(w.windowTitle(), QString("Brenmoor V4.1.2"));
    QCOMPARE(w.objectName(), QString("UDP"));
    QCOMPARE(w.widthButtons().widthTwips(), WidthButtons::Narrow);
}

void TestWindow::widthButtons_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("presses");
    QTest::addColumn<QList<int>>("widths");
    QTest::newRow("widen from narrow") << 8700 << ">>>>>>" << QList<int>{12840, 18330, 18330};
    QTest::newRow("9000 counts as narrow") << 9000 << ">>" << QList<int>{12840};
    QTest::newRow("just above 9000 widens fully") << 9015 << ">>" << QList<int>{18330};
    QTest::newRow("narrow from full") << 18330 << "<<" << QList<int>{8700};
    QTest::newRow("narrow from buffer") << 12840 << "<<>>" << QList<int>{8700, 12840};
}

void TestWindow::widthButtons() {
    QFETCH(int, start);
    QFETCH(QString, presses);
    QFETCH(QList<int>, widths);
    ScriptedDialogs d;
    UDP w(&d);
    w.show();
    w.widthButtons().setWidthTwips(start);
    QCOMPARE(w.widthButtons().widthTwips(), start);
    for (int i = 0; i < widths.size(); ++i) {
        QPushButton* b = presses.mid(i * 2, 2) == ">>" ? w.Command18 : w.Command19;
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(w.widthButtons().widthTwips(), widths[i]);
        QTRY_VERIFY(w.tbSendData->hasFocus());
    }
}

void TestWindow::caseButtonsKeepFocusInCommandLine() {
    ScriptedDialogs d;
    UDP w(&d);
    w.show();
    w.tbSendData->setText(QString::fromUtf8("print \"привет\" a1"));
    QTest::mouseClick(w.Command15, Qt::LeftButton);
    QCOMPARE(w.tbSendData->text(), QString::fromUtf8("PRINT \"ПРИВЕТ\" A1"));
    QTRY_VERIFY(w.tbSendData->hasFocus());
    QTest::mouseClick(w.Command16, Qt::LeftButton);
    QCOMPARE(w.tbSendData->text(), QString::fromUtf8("print \"привет\" a1"));
}

void TestWindow::stopButtonClearsUploadMode() {
    ScriptedDialogs d;
    UDP w(&d);
    w.state().SendBasicMode = 1;
    QTest::mouseClick(w.Command14, Qt::LeftButton);
    QCOMPARE(w.state().SendBasicMode, qint16(0));
}

void TestWindow::controlArraysAreAddressableByName() {
    ScriptedDialogs d;
    UDP w(&d);
    QCOMPARE(w.findChild<ClickLabel*>("Label13(63)"), w.Label13[63]);
    QCOMPARE(w.findChild<QPushButton*>("Command17(0)"), w.Command17[0]);
    QCOMPARE(w.findChild<QPushButton*>("Command17(0)")->text(), QString("x"));
    QCOMPARE(w.findChild<ClickLabel*>("Label14(14)"), w.Label14[14]);
    QCOMPARE(w.findChild<QLineEdit*>("tbSendData"), w.tbSendData);
    QCOMPARE(w.findChildren<QGroupBox*>().size(), 11);
    // Every help and buffer label stays out of the focus chain so clicks leave the focus in
    // the command line.
    for (ClickLabel* l : w.Label14)
        QCOMPARE(l->focusPolicy(), Qt::NoFocus);
}

void TestWindow::everyInputHasAnAccessibleName() {
    ScriptedDialogs d;
    UDP w(&d);
    QList<QWidget*> inputs;
    for (auto* e : w.findChildren<QLineEdit*>())
        if (e->parentWidget() == &w || qobject_cast<QGroupBox*>(e->parentWidget()))
            inputs << e;
    for (auto* c : w.findChildren<QCheckBox*>())
        inputs << c;
    for (auto* r : w.findChildren<QRadioButton*>())
        inputs << r;
    for (auto* t : w.findChildren<QPlainTextEdit*>())
        inputs << t;
    inputs << w.ComboRemoteIP;
    QVERIFY(inputs.size() > 25);
    for (QWidget* input : inputs)
        QVERIFY2(!input->accessibleName().isEmpty(), qPrintable(input->objectName()));
    QCOMPARE(w.Text3->accessibleName(), QString("Addr"));
    QCOMPARE(w.Check3->accessibleName(), QString("Via USB"));
    QCOMPARE(w.Command3->accessibleDescription(),
             QString::fromUtf8("Отправить файл в контроллер "));
}

void TestWindow::panelsStartAsDesigned() {
    ScriptedDialogs d;
    UDP w(&d);
    QVERIFY(!w.Frame2->isEnabled());
    QVERIFY(!w.Frame5->isEnabled());
    QVERIFY(!w.Frame6->isEnabled());
    QVERIFY(w.Option[5]->isChecked());
    QVERIFY(w.NoConnect->isVisibleTo(&w));
    QVERIFY(!w.YesConnect->isVisibleTo(&w));
    QVERIFY(!w.Pic->isVisibleTo(&w));
    QVERIFY(!w.TMRComm->isActive());
    for (ClickLabel* l : w.Label14)
        QVERIFY(l->text().isEmpty());
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
