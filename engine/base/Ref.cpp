#include "engine/base/Ref.h"

#include <cassert>

#include "engine/base/AutoreleasePool.h"

namespace engine {

Ref::~Ref() = default;

void Ref::retain() {
    assert(_referenceCount > 0);
    ++_referenceCount;
}

void Ref::release() {
    assert(_referenceCount > 0);
    if (--_referenceCount == 0)
        delete this;
}

Ref* Ref::autorelease() {
    AutoreleasePool::getInstance()->addObject(this);
    return this;
}

}  // namespace engine
