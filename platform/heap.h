// The process heap of a program that spends most of its life idle in the tray.
#pragma once

namespace vornak {

// One heap for every thread, asked for before the first thread starts: a thread's own heap keeps the pages it
// once used, which the tray would carry for nothing.
void UseOneHeap();

// Gives the pages that freed memory leaves in the heap back to the system (after large pictures were let go).
void ReturnFreeHeap();

}  // namespace vornak
