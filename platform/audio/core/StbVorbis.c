/* The Vorbis decoder's implementation, compiled once; the header holds it.
   Its memory is the stream's own (VorbisMemory.h). The standard headers come
   first, so that the macros do not touch their declarations. */
#include <assert.h>
#include <limits.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#ifdef _WIN32
#include <malloc.h>
#endif

#include "platform/audio/core/VorbisMemory.h"

#define malloc(size) OvelVorbisAllocate(size)
#define realloc(block, size) OvelVorbisReallocate(block, size)
#define free(block) OvelVorbisFree(block)
#include "stb_vorbis.h"
