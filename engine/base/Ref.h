#pragma once

namespace engine {

// Intrusive reference count. A new object has count 1 and belongs to whoever created it;
// autorelease() hands that reference to the current pool, which drops it after the frame.
class Ref {
  public:
    void retain();
    void release();
    Ref* autorelease();
    unsigned int getReferenceCount() const { return _referenceCount; }

  protected:
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;

  public:
    virtual ~Ref();

  private:
    unsigned int _referenceCount = 1;
};

// Releases a member pointer and clears it.
template <class T>
void safeRelease(T*& p) {
    if (p) {
        p->release();
        p = nullptr;
    }
}

// Stores v in p, retaining the new object before releasing the old one.
template <class T>
void safeAssign(T*& p, T* v) {
    if (v)
        v->retain();
    if (p)
        p->release();
    p = v;
}

}  // namespace engine

// create() for classes whose init() takes no arguments: construct, init, autorelease.
#define CREATE_FUNC(T)             \
    static T* create() {           \
        T* object = new T();       \
        if (object->init()) {      \
            object->autorelease(); \
            return object;         \
        }                          \
        delete object;             \
        return nullptr;            \
    }
