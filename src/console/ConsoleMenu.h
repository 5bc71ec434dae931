#pragma once

#include <QObject>
#include <functional>

class ConsoleModel;
class QPoint;
struct ConsoleControls;

// The console's context menu: the widget's own entries (copy, select all) and "Show
// timestamps", which shows or hides the time each line came.
class ConsoleMenu : public QObject {
    Q_OBJECT
public:
    ConsoleMenu(ConsoleControls& console, ConsoleModel& model, QObject* parent = nullptr);
    void connectControls();

    // Shows or hides the times; the menu entry follows.
    void showStamps(bool show);
    // Told every time the operator changes the choice, so it can be remembered.
    std::function<void(bool show)> stampsChosen;

private:
    void popUp(const QPoint& at);

    ConsoleControls& c_;
    ConsoleModel& model_;
};
