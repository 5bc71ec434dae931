// Built only by the floor check: a widget-free target must not compile this.
#include <QWidget>
