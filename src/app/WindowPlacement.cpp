#include "app/WindowPlacement.h"

#include <algorithm>

namespace harvel {

QRect VisiblePlacement(const QRect& stored, const QList<QRect>& screens) {
    if (screens.isEmpty()) {
        return stored;
    }
    // The title bar is what a user grabs: its top strip must be on some screen.
    const QRect grip(stored.left(), stored.top(), std::min(stored.width(), 100), 50);
    for (const QRect& screen : screens) {
        const QRect seen = screen.intersected(grip);
        if (seen.width() >= std::min(grip.width(), 100) &&
            seen.height() >= std::min(grip.height(), 50)) {
            return stored;
        }
    }
    const QRect& first = screens.constFirst();
    QRect moved(first.topLeft(), stored.size());
    moved.setWidth(std::min(stored.width(), first.width()));
    moved.setHeight(std::min(stored.height(), first.height()));
    return moved;
}

}  // namespace harvel
