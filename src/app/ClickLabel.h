#pragma once

#include <QLabel>

// A label that reports clicks (buffer lines, help entries, the web address).
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
