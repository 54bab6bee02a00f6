/* The Vorbis decoder's implementation, compiled once; the header holds it.
   Its cleanup after a failed open frees pointers it may not have set yet:
   zeroed allocations make those frees of null. stdlib.h comes first so the
   macro does not touch its declarations. */
#include <stdlib.h>
#define malloc(sz) calloc(1, (sz))
#include "stb_vorbis.h"
