#include "ui/DialogUnits.h"

namespace {

// MapDialogRect rounds each coordinate on its own; a rectangle from the
// origin makes the mapped right and bottom edges the measures themselves.
RECT MapMeasure(HWND dialog, int units) {
    RECT rect = {0, 0, units, units};
    MapDialogRect(dialog, &rect);
    return rect;
}

}  // namespace

int DialogUnitsToPixelsX(HWND dialog, int units) {
    return units == 0 ? 0 : MapMeasure(dialog, units).right;
}

int DialogUnitsToPixelsY(HWND dialog, int units) {
    return units == 0 ? 0 : MapMeasure(dialog, units).bottom;
}
