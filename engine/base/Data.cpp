#include "engine/base/Data.h"

namespace engine {

const Data Data::Null;

}  // namespace engine
