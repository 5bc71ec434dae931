#pragma once

// Included by the widget floor's headers that would otherwise compile anywhere (they only
// declare): a widget-free target that reaches for one of them stops here.
#ifdef BRENMOOR_WIDGET_FREE
#error "a widget-free target includes a widget header"
#endif
