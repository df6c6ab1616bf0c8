#include "platform/heap.h"

#include <cstdlib>  // defines __GLIBC__ on glibc
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vornak {

void UseOneHeap() {
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 1);
#endif
}

void ReturnFreeHeap() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

}  // namespace vornak
