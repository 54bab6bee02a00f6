#ifndef OVEL_PLUGIN_H
#define OVEL_PLUGIN_H
/* The table a format plug-in hands the library. Plain C on both sides, in
   the C calling convention: the plug-in's streams are opaque to the library,
   the library's bytes reach the plug-in only through the callbacks, and
   memory is freed by whoever took it. */

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Raised whenever the table or a callback changes its meaning. */
#define OVEL_PLUGIN_VERSION 1u

/* The bytes of one sound file; user is passed back untouched. */
typedef struct OvelPluginInput {
    void* user;
    size_t (*read)(void* user, void* out, size_t bytes); /* bytes copied; fewer at the end */
    int (*seek)(void* user, uint64_t position);          /* nonzero on success */
    uint64_t (*size)(void* user);                        /* UINT64_MAX when not known */
    /* Nonzero while bytes may still arrive (a download): a short read then
       means "not yet", not the end. */
    int (*pending)(void* user);
} OvelPluginInput;

typedef struct OvelPluginFormat {
    uint32_t rate;
    uint32_t channels;
    uint64_t length_frames; /* UINT64_MAX when not known */
} OvelPluginFormat;

typedef struct OvelPluginStream OvelPluginStream;

typedef struct OvelPluginTable {
    uint32_t version; /* OVEL_PLUGIN_VERSION */
    /* Null when the bytes are not of the plug-in's format. The input stays
       valid until close; calls on one stream never overlap. */
    OvelPluginStream* (*open)(const OvelPluginInput* input, OvelPluginFormat* format);
    /* Interleaved float frames written to out; 0 at the end, or for now
       while the input is pending. */
    size_t (*read)(OvelPluginStream* stream, float* out, size_t frames);
    int (*rewind)(OvelPluginStream* stream); /* nonzero on success */
    void (*close)(OvelPluginStream* stream);
} OvelPluginTable;

/* The one export a plug-in DLL has. */
#define OVEL_PLUGIN_INIT "OvelPluginInit"
typedef const OvelPluginTable* (*OvelPluginInitFn)(void);

#ifdef __cplusplus
}
#endif

#endif
