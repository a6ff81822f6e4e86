#include "platform/ui/SortDescriptor.h"

namespace vm {

int compareSortValues(const QVariant& a, const QVariant& b, bool ascending) {
    const QPartialOrdering result = QVariant::compare(a, b);
    int order = 0;
    if (result == QPartialOrdering::Less) {
        order = -1;
    } else if (result == QPartialOrdering::Greater) {
        order = 1;
    }
    return ascending ? order : -order;
}

}  // namespace vm
