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
    void tableShape_data();
    void tableShape();
    void helpKind_data();
    void helpKind();
};

void KeywordsTest::tableShape_data() {
    QTest::addColumn<bool>("functions");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("groups");
    QTest::addColumn<QString>("lettersWithout");
    QTest::newRow("statements") << false << 96 << 21 << "JOQXZ";
    QTest::newRow("functions") << true << 74 << 19 << "BJNOQXZ";
}

void KeywordsTest::tableShape() {
    QFETCH(bool, functions);
    QFETCH(int, total);
    QFETCH(int, groups);
    QFETCH(QString, lettersWithout);
    int sum = 0;
    QString without;
    for (char c = 'A'; c <= 'Z'; ++c) {
        const QStringList group = groupOf(functions, c);
        sum += int(group.size());
        if (group.isEmpty())
            without += QChar(c);
        for (const QString& k : group)
            QVERIFY2(k.startsWith(QChar(c)) && k.endsWith(u"{}") == functions, qPrintable(k));
    }
    QCOMPARE(sum, total);
    QCOMPARE(26 - without.size(), groups);
    QCOMPARE(without, lettersWithout);
    // The neighbours of the letter ranges and a byte above 0x7F have no group.
    for (char c : {'@', '[', '`', '{', '\xC1'})
        QVERIFY(groupOf(functions, c).isEmpty());
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
    QTest::newRow("AB= three chars") << "AB=" << HelpKind::Functions;
    QTest::newRow("PRINT ADC{") << "PRINT ADC{" << HelpKind::Functions;
    QTest::newRow("AB") << "AB" << HelpKind::None;
    QTest::newRow("closing brace") << "ADC{1}" << HelpKind::None;
}

void KeywordsTest::helpKind() {
    QFETCH(QString, textBefore);
    QFETCH(HelpKind, expected);
    QCOMPARE(helpKindFor(textBefore), expected);
}

QTEST_GUILESS_MAIN(KeywordsTest)
#include "tst_keywords.moc"
