#include "form/TextProgressBar.h"

TextProgressBar::TextProgressBar(QWidget* parent) : QProgressBar(parent) {
    setTextVisible(true);
    setAlignment(Qt::AlignCenter);
    setRange(0, max_);
    setValue(0);
}

void TextProgressBar::setText(const QString& text) {
    text_ = text;
    // '%' starts a placeholder in a progress bar's format; a file name may hold one.
    QString escaped = text;
    escaped.replace(QLatin1Char('%'), QLatin1String("%%"));
    setFormat(escaped);
    setAccessibleName(text); // what the bar shows is what a screen reader says
}

void TextProgressBar::setMax(int maximum) {
    max_ = qMax(0, maximum);
    setRange(0, qMax(1, max_));
    setCurrent(value_);
}

void TextProgressBar::setCurrent(int value) {
    value_ = value;
    // The stored value may run one past the maximum; the bar itself just shows it full.
    setValue(qBound(0, value, maximum()));
}
