// Ardour's inline-display extension: the plug-in draws a small picture that Ardour shows in its
// mixer strip. No Debian package ships its header, so the few types are declared here, as
// Ardour's ardour/lv2_extensions.h lays them out.
//
// The host passes the feature #queue_draw at instantiate; the plug-in calls queue_draw (from any
// thread, including run) when its picture changed. The host asks for the picture through the
// extension data #interface, on a thread of its own (never the audio thread): render(w, h), where
// w and h are the most room it has; the plug-in returns a surface it owns (ARGB32, premultiplied
// alpha, as cairo's image surfaces), valid until the next render or cleanup.
#pragma once

#include <stdint.h>

#include <lv2/core/lv2.h>

#define LUMO_LV2_INLINEDISPLAY_URI "http://harrisonconsoles.com/lv2/inlinedisplay"
#define LUMO_LV2_INLINEDISPLAY__interface LUMO_LV2_INLINEDISPLAY_URI "#interface"
#define LUMO_LV2_INLINEDISPLAY__queue_draw LUMO_LV2_INLINEDISPLAY_URI "#queue_draw"

extern "C" {

typedef void* LV2_Inline_Display_Handle;

typedef struct {
    unsigned char* data;
    int width;
    int height;
    int stride;
} LV2_Inline_Display_Image_Surface;

typedef struct {
    LV2_Inline_Display_Image_Surface* (*render)(LV2_Handle instance, uint32_t w, uint32_t h);
} LV2_Inline_Display_Interface;

typedef struct {
    LV2_Inline_Display_Handle handle;
    void (*queue_draw)(LV2_Inline_Display_Handle handle);
} LV2_Inline_Display;

}  // extern "C"
