#include "modbus/PollControl.h"

#include "form/Controls.h"
#include "form/Dialogs.h"
#include "modbus/ModbusBuilderPanel.h"
#include "modbus/ModbusPoller.h"
#include "modbus/ModbusRequest.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QGroupBox>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>

PollControl::PollControl(ModbusBuilderControls& builder, ModbusBuilderPanel& panel,
                         ModbusPoller& poller, Dialogs& dialogs, QObject* parent)
    : QObject(parent), c_(builder), panel_(panel), poller_(poller), dialogs_(dialogs) {
}

void PollControl::connectControls() {
    for (QWidget* w :
         {static_cast<QWidget*>(c_.builderFrame), static_cast<QWidget*>(c_.sendFrameButton)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& at) { popUp(w, at); });
    }
    connect(c_.pollAction, &QAction::triggered, this,
            [this] { poller_.running() ? stopPolling() : startPolling(); });
    auto* periods = new QActionGroup(c_.pollPeriodMenu);
    for (int ms : Periods) {
        QAction* choice = c_.pollPeriodMenu->addAction(tr("%1 ms").arg(ms));
        choice->setCheckable(true);
        choice->setData(ms);
        periods->addAction(choice);
        connect(choice, &QAction::triggered, this, [this, ms] {
            setPeriod(ms);
            if (periodChosen)
                periodChosen(ms);
        });
    }
    c_.sendFrameButton->installEventFilter(this);
    panel_.sendClickTaken = [this] {
        const bool ctrl = std::exchange(ctrlPressed_, false);
        if (poller_.running())
            stopPolling();
        else if (ctrl)
            startPolling();
        else
            return false;
        return true;
    };
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), c_.builderFrame);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &PollControl::stopPolling);
    connect(&poller_, &ModbusPoller::runningChanged, this, &PollControl::showState);
    showState();
}

bool PollControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.sendFrameButton && event->type() == QEvent::MouseButtonPress)
        ctrlPressed_ = static_cast<QMouseEvent*>(event)->modifiers() & Qt::ControlModifier;
    return QObject::eventFilter(watched, event);
}

void PollControl::setPeriod(int ms) {
    periodMs_ = ms;
    for (QAction* choice : c_.pollPeriodMenu->actions())
        choice->setChecked(choice->data().toInt() == ms);
    showState();
}

void PollControl::startPolling() {
    const ModbusRequest request = buildModbusRequest(panel_.fields());
    if (!request.ok()) {
        dialogs_.message(QCoreApplication::applicationName(),
                         QString::fromLatin1(InvalidDataMessage));
        return;
    }
    if (!panel_.linkOpen()) {
        dialogs_.message(QCoreApplication::applicationName(),
                         tr("Nothing to poll through: connect or open a port first."));
        return;
    }
    // A send that fails stops the run at once: one box, not one per period.
    poller_.send = [this](const QByteArray& frame) {
        const std::optional<Failure> failed = panel_.writeFrame(frame);
        if (!failed)
            return true;
        QMetaObject::invokeMethod(
            this,
            [this, why = *failed] {
                stopPolling();
                dialogs_.report(why);
            },
            Qt::QueuedConnection);
        return false;
    };
    panel_.logFrame(request.frame);
    poller_.start(request.frame, periodMs_);
    if (pollingStarted)
        pollingStarted();
}

void PollControl::stopPolling() {
    poller_.stop();
}

void PollControl::showState() {
    c_.pollAction->setText(poller_.running() ? tr("Stop polling")
                                             : tr("Poll every %1 ms").arg(periodMs_));
}

void PollControl::popUp(QWidget* from, const QPoint& at) {
    auto* menu = new QMenu(from);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(c_.pollAction);
    menu->addMenu(c_.pollPeriodMenu);
    menu->popup(from->mapToGlobal(at));
}
