#pragma once
// What a panadapter or waterfall shows once its radio has gone: the last picture dimmed, with the
// reason written across its middle, so that it no longer looks live.
#include <QString>

class QPainter;
class QRect;

namespace vm {

// Nothing for an empty reason.
void drawOfflineVeil(QPainter& painter, const QRect& area, const QString& reason);

}  // namespace vm
