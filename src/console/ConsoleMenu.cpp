#include "console/ConsoleMenu.h"

#include "console/ConsoleModel.h"
#include "form/Controls.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>

ConsoleMenu::ConsoleMenu(ConsoleControls& console, ConsoleModel& model, QObject* parent)
    : QObject(parent), c_(console), model_(model) {
}

void ConsoleMenu::connectControls() {
    c_.consoleEdit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(c_.consoleEdit, &QWidget::customContextMenuRequested, this, &ConsoleMenu::popUp);
    connect(c_.showTimestampsAction, &QAction::triggered, this, [this](bool show) {
        model_.setShowStamps(show);
        if (stampsChosen)
            stampsChosen(show);
    });
}

void ConsoleMenu::showStamps(bool show) {
    c_.showTimestampsAction->setChecked(show);
    model_.setShowStamps(show);
}

void ConsoleMenu::popUp(const QPoint& at) {
    QMenu* menu = c_.consoleEdit->createStandardContextMenu(at);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    menu->addAction(c_.showTimestampsAction);
    menu->popup(c_.consoleEdit->viewport()->mapToGlobal(at));
}
