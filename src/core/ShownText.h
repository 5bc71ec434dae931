#pragma once

#include "core/LineEnds.h"

#include <QByteArrayView>
#include <QString>

// Received bytes as an output box shows them: Windows-1251 characters, CR LF, a lone CR and a
// lone LF each ending a line (`ends` carries a CR from one piece to the next), and a visible
// stand-in for NUL, where a text widget would end the text.
QString shownText(QByteArrayView bytes, LineEnds& ends);
