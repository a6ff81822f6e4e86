// The client's slices: tuning lines, flags, RIT and XIT lines and filter passbands.
#include "display/views/PanAdapterView.h"

namespace vm {

void PanAdapterView::drawSlices(QPainter&, double, double) {}

}  // namespace vm
