#include "help/HelpPanel.h"

#include "form/ClickLabel.h"
#include "form/Controls.h"
#include "help/HelpTrigger.h"
#include "help/KeywordTables.h"

#include <QLineEdit>
#include <algorithm>

namespace {

// The letter a key code stands for, or 0. Checked on the full 16-bit code so that codes above
// 255 never wrap onto a letter.
char letterOf(qint16 keyAscii) {
    if ((keyAscii >= 'A' && keyAscii <= 'Z') || (keyAscii >= 'a' && keyAscii <= 'z'))
        return static_cast<char>(keyAscii);
    return 0;
}

} // namespace

HelpPanel::HelpPanel(HelpControls& help, CommandLineControls& line, QObject* parent)
    : QObject(parent), help_(help), line_(line) {
}

void HelpPanel::connectControls() {
    for (int i = 0; i < Entries; ++i) {
        ClickLabel* label = help_.helpLabels[static_cast<std::size_t>(i)];
        label->setFocusPolicy(Qt::NoFocus);
        connect(label, &ClickLabel::clicked, this,
                [this, i] { insertKeyword(static_cast<qint16>(i)); });
    }
}

void HelpPanel::clearHelp() {
    for (ClickLabel* label : help_.helpLabels)
        label->clear();
}

void HelpPanel::showStatements(qint16& key) {
    clearHelp();
    show(keywords::statementsFor(letterOf(key)));
}

void HelpPanel::showFunctions(qint16& key) {
    clearHelp();
    show(keywords::functionsFor(letterOf(key)));
}

void HelpPanel::show(std::span<const std::string_view> group) {
    // Groups never exceed MaxGroupSize, but the panel must not overrun its labels regardless.
    const std::size_t n = std::min(group.size(), help_.helpLabels.size());
    for (std::size_t i = 0; i < n; ++i)
        help_.helpLabels[i]->setText(
            QString::fromLatin1(group[i].data(), static_cast<qsizetype>(group[i].size())));
}

void HelpPanel::insertKeyword(qint16 index) {
    if (index < 0 || index >= Entries)
        return;
    QLineEdit* line = line_.commandEdit;
    const QString caption = help_.helpLabels[static_cast<std::size_t>(index)]->text();
    // The entry replaces the letter that called the help up: always the last character,
    // wherever the caret is.
    QString text = line->text();
    if (!text.isEmpty())
        text.chop(1);
    text += caption;
    line->setText(text);
    line->setCursorPosition(static_cast<int>(text.size()));
}

void HelpPanel::onCommandLineKey(const QString& textBefore, qint16& key) {
    switch (helpKindFor(textBefore)) {
    case HelpKind::Statements:
        showStatements(key);
        break;
    case HelpKind::Functions:
        showFunctions(key);
        break;
    case HelpKind::None:
        break;
    }
}
