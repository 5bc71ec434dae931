#pragma once

#include "form/WidgetFloor.h"

class QStyle;

// The application's style fitted to the twip layout, for the window's frames, check boxes and
// option buttons: a frame's border runs through the middle of its title, and an indicator sits
// in the top left corner of its box, a little smaller than the style's own, so the controls the
// layout places just below a title or beside a box stay clear of both. One for the whole
// program, owned by the application so it outlives every window.
QStyle* formStyle();
