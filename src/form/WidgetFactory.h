#pragma once

#include "form/WidgetFloor.h"

#include <QString>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;
class ClickLabel;

// Creates the window's controls at twip positions, each under its name, with its caption,
// tool tip (also its accessible description) and accessible name.
namespace Make {
QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, int left, int top,
                 int width, int height, const QString& tip = {});
QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height, const QString& tip = {});
QLabel* label(QWidget* parent, const char* name, const QString& caption, int left, int top,
              int width, int height, const QString& tip = {});
ClickLabel* clickLabel(QWidget* parent, const QString& name, int left, int top, int width,
                       int height);
// Inputs take their accessible name from the label that captions them.
QLineEdit* edit(QWidget* parent, const char* name, const QString& text, int left, int top,
                int width, int height, const QString& accessibleName, const QString& tip = {});
QPlainTextEdit* textArea(QWidget* parent, const char* name, int left, int top, int width,
                         int height, const QString& accessibleName, const QString& tip = {});
QCheckBox* check(QWidget* parent, const char* name, int left, int top,
                 const QString& accessibleName, const QString& tip = {});
QRadioButton* option(QWidget* parent, const char* name, int left, int top,
                     const QString& accessibleName, const QString& tip = {});
} // namespace Make
