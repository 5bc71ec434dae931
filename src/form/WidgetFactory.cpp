#include "form/WidgetFactory.h"

#include "form/ClickLabel.h"
#include "form/FormStyle.h"
#include "form/Twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
template <class W>
W* place(W* w, const QString& name, int left, int top, int width, int height, const QString& tip) {
    w->setObjectName(name);
    w->setGeometry(Twips::rect(left, top, width, height));
    if (!tip.isEmpty()) {
        w->setToolTip(tip);
        w->setAccessibleDescription(tip);
    }
    return w;
}

// Check boxes and option buttons have no caption of their own; a label stands beside them.
constexpr int BoxSize = 225;
} // namespace

QGroupBox* Make::frame(QWidget* parent, const char* name, const QString& caption, int left, int top,
                       int width, int height, const QString& tip) {
    auto* f = place(new QGroupBox(caption, parent), name, left, top, width, height, tip);
    f->setStyle(formStyle());
    return f;
}

QPushButton* Make::button(QWidget* parent, const char* name, const QString& caption, int left,
                          int top, int width, int height, const QString& tip) {
    // No fixed accessible name: a button is named by its caption, whatever it becomes.
    auto* b = place(new QPushButton(caption, parent), name, left, top, width, height, tip);
    // Reachable with Tab, but a click leaves the focus where the operator types.
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

QLabel* Make::label(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height, const QString& tip) {
    return place(new QLabel(caption, parent), name, left, top, width, height, tip);
}

ClickLabel* Make::clickLabel(QWidget* parent, const QString& name, int left, int top, int width,
                             int height) {
    auto* l = place(new ClickLabel(parent), name, left, top, width, height, {});
    l->setFocusPolicy(Qt::NoFocus);
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

QLineEdit* Make::edit(QWidget* parent, const char* name, const QString& text, int left, int top,
                      int width, int height, const QString& accessibleName, const QString& tip) {
    auto* e = place(new QLineEdit(text, parent), name, left, top, width, height, tip);
    e->setAccessibleName(accessibleName);
    return e;
}

QPlainTextEdit* Make::textArea(QWidget* parent, const char* name, int left, int top, int width,
                               int height, const QString& accessibleName, const QString& tip) {
    auto* t = place(new QPlainTextEdit(parent), name, left, top, width, height, tip);
    t->setAccessibleName(accessibleName);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    t->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    t->setFont(courierFont());
    return t;
}

QCheckBox* Make::check(QWidget* parent, const char* name, int left, int top,
                       const QString& accessibleName, const QString& tip) {
    auto* c = place(new QCheckBox(parent), name, left, top, BoxSize, BoxSize, tip);
    c->setStyle(formStyle());
    c->setAccessibleName(accessibleName);
    return c;
}

QRadioButton* Make::option(QWidget* parent, const char* name, int left, int top,
                           const QString& accessibleName, const QString& tip) {
    auto* o = place(new QRadioButton(parent), name, left, top, BoxSize, BoxSize, tip);
    o->setStyle(formStyle());
    o->setAccessibleName(accessibleName);
    return o;
}
