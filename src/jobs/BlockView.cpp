#include "jobs/BlockView.h"

namespace tessel {

void BlockView::locate() {
    location = locateBlock(area);
    format = blockFormatOf(area);
    serialNumber = blockSerialNumberOf(area);
}

} // namespace tessel
