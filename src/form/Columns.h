#pragma once

#include "form/WidgetFloor.h"

class QWidget;
struct Controls;

// The window's three columns, built at their twip positions.
void buildTerminalColumn(QWidget* window, Controls& c);
void buildBufferColumn(QWidget* window, Controls& c);
void buildModbusColumn(QWidget* window, Controls& c);

// Left edges of the buffer and MODBUS columns, in twips.
inline constexpr int BufferColumnLeft = 8640;
inline constexpr int ModbusColumnLeft = 12780;

// The maker's address shown (and opened) by the web label, and the credit beside it.
inline constexpr const char* MakerWebAddress = "https://www.brenmoor.example/";
inline constexpr const char* AuthorCredit = "Brenmoor team, 2026";
