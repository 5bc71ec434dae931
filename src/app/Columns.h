#pragma once

class QWidget;
struct Controls;

// The window's three columns, built at their twip positions.
void buildTerminalColumn(QWidget* window, Controls& c);
void buildBufferColumn(QWidget* window, Controls& c);
void buildModbusColumn(QWidget* window, Controls& c);

// The maker's address shown (and opened) by the web label, and the credit beside it.
inline constexpr const char* MakerWebAddress = "https://www.brenmoor.example/";
inline constexpr const char* AuthorCredit = "Brenmoor team, 2026";
