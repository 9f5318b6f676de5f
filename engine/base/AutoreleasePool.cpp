#include "engine/base/AutoreleasePool.h"

#include <algorithm>

#include "engine/base/Ref.h"

namespace engine {

AutoreleasePool* AutoreleasePool::getInstance() {
    static AutoreleasePool pool;
    return &pool;
}

void AutoreleasePool::addObject(Ref* object) {
    _objects.push_back(object);
}

void AutoreleasePool::clear() {
    while (!_objects.empty()) {
        std::vector<Ref*> batch;
        batch.swap(_objects);
        for (Ref* object : batch)
            object->release();
    }
}

bool AutoreleasePool::contains(const Ref* object) const {
    return std::find(_objects.begin(), _objects.end(), object) != _objects.end();
}

}  // namespace engine
