#pragma once

#include <cstddef>
#include <vector>

namespace engine {

class Ref;

// Holds one reference of every autoreleased object until clear(); the director clears it once
// per frame after drawing, so objects created during a frame survive until it is on screen.
class AutoreleasePool {
  public:
    static AutoreleasePool* getInstance();

    void addObject(Ref* object);
    // Releases everything added so far; objects autoreleased by those releases are released too.
    void clear();
    bool contains(const Ref* object) const;
    size_t size() const { return _objects.size(); }

  private:
    AutoreleasePool() = default;
    std::vector<Ref*> _objects;
};

}  // namespace engine
