#include "platform/Memory.h"

#include <malloc.h>

namespace quarn::platform {

void ReturnLargeBlocksWhenFreed()
{
  // Setting the threshold also fixes it: the library no longer moves it.
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
}

}  // namespace quarn::platform
