#include "platform/Exceptions.h"

namespace jxc {

void Abort() { throw EAbort(); }

}  // namespace jxc
