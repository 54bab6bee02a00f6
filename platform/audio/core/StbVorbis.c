/* The Vorbis decoder's implementation, compiled once; the header holds it. */
#include "stb_vorbis.h"
