#pragma once

#include <QProgressBar>

// A progress bar that shows a free text on the bar and accepts a value one above its maximum
// (the transfers step past the end by one before they finish).
class TextProgressBar : public QProgressBar {
    Q_OBJECT
public:
    explicit TextProgressBar(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const override { return text_; }
    void setMax(int maximum);
    int max() const { return max_; }
    void setCurrent(int value);
    int current() const { return value_; }

private:
    QString text_;
    int max_ = 100;
    int value_ = 0;
};
