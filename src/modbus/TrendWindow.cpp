#include "modbus/TrendWindow.h"

#include "core/FileAccess.h"
#include "form/Controls.h"
#include "form/Dialogs.h"
#include "modbus/ModbusPoller.h"
#include "modbus/TrendModel.h"
#include "modbus/TrendPlot.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

TrendWindow::TrendWindow(TrendControls& trend, TrendModel& model, ModbusPoller& poller,
                         Dialogs& dialogs, QObject* parent)
    : QObject(parent), c_(trend), model_(model), poller_(poller), dialogs_(dialogs) {
    timer_.setInterval(RefreshMs);
    connect(&timer_, &QTimer::timeout, this, &TrendWindow::refresh);
}

void TrendWindow::build(QWidget* owner, TrendControls& c, const TrendModel& model) {
    auto* w = c.trendForm = new QWidget(owner, Qt::Window);
    w->setObjectName(QStringLiteral("frmTrend"));
    w->setWindowTitle(QStringLiteral("MODBUS trend"));
    c.trendPlot = new TrendPlot(model, w);
    c.trendPlot->setObjectName(QStringLiteral("picTrend"));
    c.trendPlot->setAccessibleName(QStringLiteral("Trend plot"));
    c.pollStatusLabel = new QLabel(w);
    c.pollStatusLabel->setObjectName(QStringLiteral("lblPollStatus"));
    auto button = [w](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, w);
        b->setObjectName(QLatin1String(name));
        b->setAccessibleName(caption);
        return b;
    };
    c.stopPollButton = button("cmdStopPoll", QStringLiteral("Stop"));
    c.exportCsvButton = button("cmdExportCsv", QStringLiteral("Export CSV..."));
    c.clearTrendButton = button("cmdClearTrend", QStringLiteral("Clear"));
    auto* row = new QHBoxLayout;
    row->addWidget(c.pollStatusLabel, 1);
    row->addWidget(c.stopPollButton);
    row->addWidget(c.exportCsvButton);
    row->addWidget(c.clearTrendButton);
    auto* column = new QVBoxLayout(w);
    column->addWidget(c.trendPlot, 1);
    column->addLayout(row);
    w->resize(760, 420);
}

void TrendWindow::connectControls() {
    connect(c_.stopPollButton, &QPushButton::clicked, this, [this] {
        if (stopPolling)
            stopPolling();
    });
    connect(c_.exportCsvButton, &QPushButton::clicked, this, &TrendWindow::exportCsv);
    connect(c_.clearTrendButton, &QPushButton::clicked, this, [this] {
        model_.clear();
        refresh();
    });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), c_.trendForm);
    connect(escape, &QShortcut::activated, c_.stopPollButton, &QPushButton::click);
    connect(&poller_, &ModbusPoller::runningChanged, this, [this](bool running) {
        running ? timer_.start() : timer_.stop();
        refresh();
    });
    refresh();
}

void TrendWindow::show() {
    c_.trendForm->show();
    c_.trendForm->raise();
}

void TrendWindow::refresh() {
    const bool running = poller_.running();
    c_.stopPollButton->setEnabled(running);
    const QString counts = tr("%1 replies, %2 exceptions, %3 timeouts")
                               .arg(model_.replies())
                               .arg(model_.exceptions())
                               .arg(model_.timeouts());
    c_.pollStatusLabel->setText(
        running ? tr("Polling every %1 ms: %2").arg(poller_.periodMs()).arg(counts)
                : tr("Stopped: %1").arg(counts));
    c_.pollStatusLabel->setAccessibleName(c_.pollStatusLabel->text());
    if (model_.revision() == shownRevision_)
        return;
    shownRevision_ = model_.revision();
    c_.trendPlot->update();
}

void TrendWindow::exportCsv() {
    const QString path = dialogs_.saveFile(tr("Export CSV"), tr("CSV files (*.csv)|*.csv"));
    if (path.isEmpty())
        return;
    if (const auto failed = FileAccess::replaceFile(path, model_.csv()))
        dialogs_.report(*failed);
}
