#pragma once

#include <QList>
#include <QRect>

namespace harvel {

// A stored window rectangle that no screen shows enough of (at least a 100 x 50 corner
// to grab) is moved onto the first screen and shrunk to fit it; one that is seen stays.
[[nodiscard]] QRect VisiblePlacement(const QRect& stored, const QList<QRect>& screens);

}  // namespace harvel
