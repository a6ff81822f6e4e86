// Tracking notch filters, band edges and spots.
#include "display/views/PanAdapterView.h"

namespace vm {

void PanAdapterView::drawTNFs(QPainter&, double, double) {}
void PanAdapterView::drawBandEdges(QPainter&, double, double) {}
void PanAdapterView::drawSpots(QPainter&, double, double) {}

}  // namespace vm
