#pragma once

#include <QColor>
#include <QWidget>

// The serial activity lamp: a small filled circle whose colour the serial link sets.
class Lamp : public QWidget {
    Q_OBJECT
public:
    explicit Lamp(QWidget* parent = nullptr);

    QColor fillColor() const { return color_; }
    void setFillColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_{Qt::white};
};
