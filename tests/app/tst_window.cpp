// One shown window: Tab order, the width and case buttons, and what a screen reader hears.
#include "TestSupport.h"
#include "app/WidthButtons.h"
#include "form/ClickLabel.h"
#include "form/TextProgressBar.h"

#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSet>
#include <tuple>

class TestWindow : public QObject {
    Q_OBJECT
private slots:
    void tabWidthCaseAndScreenReader();
};

void TestWindow::tabWidthCaseAndScreenReader() {
    Terminal w;
    for (QGroupBox* frame : w.findChildren<QGroupBox*>())
        frame->setEnabled(true); // the link panels start disabled; Tab skips disabled controls
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w, 20000));
    QCOMPARE(w.focusWidget(), w.commandEdit);
    // Tab visits the panels left to right, top to bottom, each control once. A control's panel, as
    // (column, top, left) of that panel in the window:
    const auto panelOf = [&w](QWidget* control) {
        QWidget* panel = control;
        while (panel->parentWidget() != &w)
            panel = panel->parentWidget();
        const int column = (panel->x() >= w.bufferFrame->x()) + (panel->x() >= w.hexFrame->x());
        return std::tuple{column, panel->y(), panel->x()};
    };
    w.widthButtons().setWidthTwips(WidthButtons::Full);
    WAIT_VERIFY(w.hexFrame->isVisibleTo(&w)); // the resize shows the columns
    QList<QWidget*> all{w.commandEdit};
    for (int i = 0; i < 500; ++i) {
        QTest::keyClick(w.focusWidget(), Qt::Key_Tab);
        if (w.focusWidget() == w.commandEdit)
            break;
        all << w.focusWidget();
    }
    QCOMPARE(QSet<QWidget*>(all.begin(), all.end()).size(), all.size());
    for (qsizetype i = 2; i < all.size(); ++i)
        QVERIFY2(panelOf(all[i - 1]) <= panelOf(all[i]),
                 qPrintable(all[i - 1]->objectName() + " before " + all[i]->objectName()));
    // Every control Tab can reach is reached; every input has a name a screen reader speaks.
    int inputs = 0;
    for (QWidget* c : w.findChildren<QWidget*>()) {
        const bool tabbable =
            (c->focusPolicy() & Qt::TabFocus) && c->isVisibleTo(&w) && !c->focusProxy();
        QVERIFY2(!tabbable || all.contains(c), qPrintable(c->objectName() + " not reached"));
        const bool edit = qobject_cast<QLineEdit*>(c) &&
                          (c->parentWidget() == &w || qobject_cast<QGroupBox*>(c->parentWidget()));
        if (edit || qobject_cast<QCheckBox*>(c) || qobject_cast<QRadioButton*>(c) ||
            qobject_cast<QPlainTextEdit*>(c) || c == w.hostCombo) {
            ++inputs;
            QVERIFY2(!c->accessibleName().isEmpty(), qPrintable(c->objectName()));
        }
    }
    QVERIFY(inputs > 25 && all.contains(w.deleteLineButtons[63]) && all.contains(w.parserEdit));
    // Help labels stay out of the focus chain so clicks leave the focus in the command line.
    QCOMPARE(w.helpLabels[0]->focusPolicy(), Qt::NoFocus);

    // Steps: a start width (0: as left), the button, the width after; 9000 twips is still narrow.
    const QList<std::tuple<int, char, int>> steps{
        {9000, '>', 12840}, {0, '>', 18330}, {0, '>', 18330},   {0, '<', 8700},
        {0, '>', 12840},    {0, '<', 8700},  {9015, '>', 18330}};
    for (const auto& [start, button, width] : steps) {
        if (start > 0)
            w.widthButtons().setWidthTwips(start);
        QTest::mouseClick(button == '>' ? w.widenButton : w.narrowButton, Qt::LeftButton);
        QCOMPARE(w.widthButtons().widthTwips(), width);
        // The client area ends where the first hidden column begins: no sliver of it shows.
        if (width == WidthButtons::Narrow)
            QCOMPARE(w.width(), w.bufferFrame->x());
        else if (width == WidthButtons::WithBuffer)
            QCOMPARE(w.width(), w.hexFrame->x());
        else
            QVERIFY(w.width() > w.hexFrame->geometry().right());
    }
    WAIT_VERIFY(w.commandEdit->hasFocus());
    w.commandEdit->setText(QString::fromUtf8("print \"привет\" a1"));
    QTest::mouseClick(w.upperCaseButton, Qt::LeftButton);
    QCOMPARE(w.commandEdit->text(), QString::fromUtf8("PRINT \"ПРИВЕТ\" A1"));
    WAIT_VERIFY(w.commandEdit->hasFocus());
    QTest::mouseClick(w.lowerCaseButton, Qt::LeftButton);
    QCOMPARE(w.commandEdit->text(), QString::fromUtf8("print \"привет\" a1"));

    // A screen reader hears what is shown after every change, and can press the help entries.
    w.commandEdit->clear();
    QCOMPARE(accessibleText(w.helpLabels[0]), QString("empty"));
    QTest::keyClicks(w.commandEdit, "p");
    QCOMPARE(accessibleText(w.helpLabels[0]), QString("PAUSE"));
    QAccessibleInterface* print = QAccessible::queryAccessibleInterface(w.helpLabels[4]);
    QCOMPARE(print->text(QAccessible::Name), QString("PRINT"));
    print->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(w.commandEdit->text(), QString("PRINT"));

    QTest::keyClicks(w.commandEdit, " 1234567890123456");
    QTest::keyClick(w.commandEdit, Qt::Key_Return);
    QCOMPARE(accessibleText(w.bufferLabels[0]), QString("PRINT 123456789"));
    QCOMPARE(accessibleText(w.bufferLabels[0], QAccessible::Description),
             QString("buffer line 1: PRINT 1234567890123456"));
    QCOMPARE(accessibleText(w.bufferLabels[1], QAccessible::Description),
             QString("buffer line 2: empty"));
    w.deleteLineButtons[0]->click();
    QCOMPARE(accessibleText(w.bufferLabels[0]), QString("empty"));
    w.fileProgressBar->setText(QStringLiteral("SEND"));
    QCOMPARE(accessibleText(w.fileProgressBar), QString("SEND"));
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
