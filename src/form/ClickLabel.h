#pragma once

#include <QLabel>

// A label that reports clicks (buffer lines, help entries, the web address). To assistive
// technology it is a button named by the text it shows ("empty" when it shows none), which a
// screen reader can press like a click.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget* parent = nullptr);

    // The name assistive technology hears for a caption.
    static QString accessibleNameFor(const QString& caption);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
