#pragma once

#include "engine/base/Ref.h"
#include "engine/base/Types.h"

namespace engine {

// One finger (or the mouse, touch 0). Locations are in design units with the origin at the
// bottom-left; the "InView" variants are window points with the origin at the top-left.
class Touch : public Ref {
  public:
    Touch() = default;

    int getID() const { return _id; }
    Vec2 getLocation() const { return _point; }
    Vec2 getPreviousLocation() const { return _prevPoint; }
    Vec2 getStartLocation() const { return _startPoint; }
    Vec2 getDelta() const { return _point - _prevPoint; }
    Vec2 getLocationInView() const { return _viewPoint; }
    Vec2 getPreviousLocationInView() const { return _prevViewPoint; }

    void setTouchInfo(int id, const Vec2& location, const Vec2& viewLocation);

  private:
    int _id = 0;
    bool _started = false;
    Vec2 _point, _prevPoint, _startPoint;
    Vec2 _viewPoint, _prevViewPoint;
};

}  // namespace engine
