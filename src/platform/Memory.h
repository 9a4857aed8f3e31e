#pragma once

namespace quarn::platform {

// Heap blocks of a megabyte or more get pages of their own, given back to the system when
// freed. The C library otherwise raises that threshold to the largest block freed so far (up
// to 32 MB): after one console line has built a large string or array, the blocks of later
// ones come from the heap, and what they leave behind stays resident, so a long session's
// memory creeps upward with every such line.
void ReturnLargeBlocksWhenFreed();

}  // namespace quarn::platform
