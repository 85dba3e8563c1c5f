/* The module's second export: lets an embedding host (our command-line tool, the tests) answer what the
   Save As and Open boxes and the alerts would ask a person. Plain C so any host can use it; real hosts never call it.
 */
#ifndef HC_EMBED_H
#define HC_EMBED_H

#include <stdint.h>

#if defined(_WIN32)
#define HC_EMBED_CDECL __cdecl
#else
#define HC_EMBED_CDECL
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define HC_EMBED_VERSION 4

/* Button sets and answers use the system's message box numbers: OK 0, OK/Cancel 1, Yes/No/Cancel 3, Yes/No 4;
   answers OK 1, Cancel 2, Yes 6, No 7. */
typedef struct HcEmbedHost {
    int32_t version; /* HC_EMBED_VERSION */
    void* context;
    /* Receives every alert; returns the answer. Null: alerts are shown (Windows) or printed (headless). */
    int32_t(HC_EMBED_CDECL* alert)(void* context, const char* text, const char* caption, int32_t buttons);
    /* Fills path (NUL-terminated, at most pathSize bytes) and returns 1, or returns 0 for "cancel".
       Null: the system's own box asks (Windows); headless, nobody answers and the box counts as cancelled. */
    int32_t(HC_EMBED_CDECL* askSavePath)(void* context, const char* suggestedName, char* path, int32_t pathSize);
    int32_t(HC_EMBED_CDECL* askOpenPath)(void* context, const char* title, char* path, int32_t pathSize);
    /* Folder for the preferences file instead of the user's own; null for the default. */
    const char* configFolder;
    /* Told the code and detail of every error that ends a run, before its alert; may be null. */
    void(HC_EMBED_CDECL* error)(void* context, uint32_t code, uint32_t detail);
    /* 1: an interactive run shows the dialogs (Windows), as under a real host; 0: it goes on without them, with
       the settings as they stand, as a scripted run does. */
    int32_t showDialogs;
    /* Told the code and detail of a failure to store the preferences file. Set: the run goes on without them and
       still writes its GIF (the command keeps the preferences only for the plug-in). Null: the failure ends the
       run with its alert, as under a real host. */
    void(HC_EMBED_CDECL* prefsNotStored)(void* context, uint32_t code, uint32_t detail);
} HcEmbedHost;

/* Installs (or, with null, removes) the embedding host. The structure is copied; strings must outlive the runs. */
typedef void(HC_EMBED_CDECL* HcSetEmbedHostProc)(const HcEmbedHost* host);

#define HC_EMBED_EXPORT_NAME "HalcyneSetEmbedHost"

#ifdef __cplusplus
}
#endif

#endif
