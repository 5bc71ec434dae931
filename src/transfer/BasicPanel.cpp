#include "transfer/BasicPanel.h"

#include "core/TerminalState.h"
#include "form/Controls.h"

#include <QPushButton>

void BasicPanel::connectControls() {
    QObject::connect(basic_.Command14, &QPushButton::clicked, [this] { Command14_Click(); });
}

void BasicPanel::Command14_Click() {
    s_.SendBasicMode = 0;
}
