#pragma once

#include "form/WidgetFloor.h"

#include <QWidget>

class TrendModel;

// The curves of a polling run, drawn from its TrendModel: one curve per register on the left
// axis, the reply time on the right axis (dashed), timeouts (red) and exceptions (orange)
// marked on the time axis. A plain painted widget: a few hundred lines of curves need no chart
// library, and the program keeps to Qt's base modules.
class TrendPlot : public QWidget {
    Q_OBJECT
public:
    explicit TrendPlot(const TrendModel& model, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {640, 320}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const TrendModel& model_;
};
