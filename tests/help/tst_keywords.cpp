#include "help/HelpTrigger.h"
#include "help/KeywordTables.h"

#include <QtTest>

namespace {
QStringList groupOf(bool functions, char letter) {
    QStringList out;
    for (std::string_view k :
         (functions ? keywords::functionsFor : keywords::statementsFor)(letter))
        out << QString::fromLatin1(k.data(), static_cast<qsizetype>(k.size()));
    return out;
}
} // namespace

class KeywordsTest : public QObject {
    Q_OBJECT
private slots:
    void groupsHoldTheirLetterOnly();
    void helpKind_data();
    void helpKind();
};

// A group holds its letter's keywords, a lower-case letter finds the same group, and no byte
// outside the letters (the neighbours of the ranges, bytes above 0x7F) reads past the table.
void KeywordsTest::groupsHoldTheirLetterOnly() {
    for (const bool functions : {false, true}) {
        for (int byte = 0; byte < 256; ++byte) {
            const char c = char(byte);
            const char letter = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
            const QStringList group = groupOf(functions, c);
            if (letter < 'A' || letter > 'Z') {
                QVERIFY2(group.isEmpty(), qPrintable(QString::number(byte)));
                continue;
            }
            if (c != letter)
                QCOMPARE(group, groupOf(functions, letter));
            for (const QString& k : group)
                QVERIFY2(k.startsWith(QChar(letter)) && k.endsWith(u"{}") == functions,
                         qPrintable(k));
        }
    }
}

void KeywordsTest::helpKind_data() {
    QTest::addColumn<QString>("textBefore");
    QTest::addColumn<HelpKind>("expected");
    QTest::newRow("empty line") << "" << HelpKind::Statements;
    QTest::newRow("A: two chars") << "A:" << HelpKind::None;
    QTest::newRow("two spaces") << "  " << HelpKind::None;
    QTest::newRow("10 space") << "10 " << HelpKind::Statements;
    QTest::newRow("A : three chars") << "A :" << HelpKind::Statements;
    QTest::newRow("= alone") << "=" << HelpKind::None;
    QTest::newRow("A=") << "A=" << HelpKind::Functions;
    QTest::newRow("PRINT ADC{") << "PRINT ADC{" << HelpKind::Functions;
    QTest::newRow("AB") << "AB" << HelpKind::None;
}

void KeywordsTest::helpKind() {
    QFETCH(QString, textBefore);
    QFETCH(HelpKind, expected);
    QCOMPARE(helpKindFor(textBefore), expected);
}

QTEST_GUILESS_MAIN(KeywordsTest)
#include "tst_keywords.moc"
