#include "engine/base/Touch.h"

namespace engine {

void Touch::setTouchInfo(int id, const Vec2& location, const Vec2& viewLocation) {
    _id = id;
    if (!_started) {
        _started = true;
        _startPoint = _prevPoint = location;
        _prevViewPoint = viewLocation;
    } else {
        _prevPoint = _point;
        _prevViewPoint = _viewPoint;
    }
    _point = location;
    _viewPoint = viewLocation;
}

}  // namespace engine
