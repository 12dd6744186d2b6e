#pragma once

namespace vtrtool {

// Readies the heap for a large document: a vehicle file of a million lines becomes a million
// small strings, and on Linux the page faults of 4 KB pages then cost as much as the reading
// itself. Backing the heap with transparent huge pages cuts them by about six. Does nothing
// where it does not apply (other C libraries, sanitizer builds).
void prepareLargeHeap();

} // namespace vtrtool
