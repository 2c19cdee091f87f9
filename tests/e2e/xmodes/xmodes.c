/* Adds display modes with refresh rates to an Xvfb screen so that Wine offers them.
 *
 * Usage: xmodes [-d DISPLAY] MODE...   MODE is WxH@RATE or WxHxDEPTH@RATE (the depth is
 * ignored: X has one depth per screen, and Wine lists every mode at 32, 16 and 8 bpp).
 *
 * Xvfb frees a mode made by `xrandr --newmode` as soon as that client disconnects, before a
 * separate `xrandr --addmode` can use it. So every mode is created and added to the output in
 * this one connection, and the connection's resources are kept after it closes. Run this
 * before Wine's desktop starts: Wine reads the list once. Prints one line per mode added;
 * exits 1 if any mode could not be added, 2 on bad usage or no display. */
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int parse_mode(const char *text, unsigned *w, unsigned *h, unsigned *rate)
{
    unsigned depth = 0;
    char tail;
    if (sscanf(text, "%ux%ux%u@%u%c", w, h, &depth, rate, &tail) == 4)
        return *w > 0 && *h > 0 && *rate > 0 && *w <= 8192 && *h <= 8192 && *rate <= 1000;
    if (sscanf(text, "%ux%u@%u%c", w, h, rate, &tail) == 3)
        return *w > 0 && *h > 0 && *rate > 0 && *w <= 8192 && *h <= 8192 && *rate <= 1000;
    return 0;
}

static int x_errors;

/* An X error (a duplicate mode name, a mode the output refuses) must not end the program
 * through Xlib's default handler before the other modes are added. */
static int on_x_error(Display *dpy, XErrorEvent *ev)
{
    char text[128];
    XGetErrorText(dpy, ev->error_code, text, sizeof text);
    fprintf(stderr, "xmodes: X error: %s (request %d.%d)\n", text, ev->request_code, ev->minor_code);
    x_errors++;
    return 0;
}

int main(int argc, char **argv)
{
    const char *display_name = NULL;
    int first = 1;
    if (argc > 2 && strcmp(argv[1], "-d") == 0) {
        display_name = argv[2];
        first = 3;
    }
    if (first >= argc) {
        fprintf(stderr, "usage: xmodes [-d DISPLAY] WxH[xDEPTH]@RATE...\n");
        return 2;
    }
    Display *dpy = XOpenDisplay(display_name);
    if (!dpy) {
        fprintf(stderr, "xmodes: cannot open display %s\n", display_name ? display_name : "(DISPLAY)");
        return 2;
    }
    XSetErrorHandler(on_x_error);
    Window root = DefaultRootWindow(dpy);
    XRRScreenResources *res = XRRGetScreenResources(dpy, root);
    if (!res || res->noutput < 1) {
        fprintf(stderr, "xmodes: the screen has no RandR output\n");
        XCloseDisplay(dpy);
        return 2;
    }
    RROutput out = res->outputs[0];
    int min_w, min_h, max_w, max_h;
    XRRGetScreenSizeRange(dpy, root, &min_w, &min_h, &max_w, &max_h);

    int failed = 0;
    for (int i = first; i < argc; i++) {
        unsigned w, h, rate;
        if (!parse_mode(argv[i], &w, &h, &rate)) {
            fprintf(stderr, "xmodes: bad mode '%s'\n", argv[i]);
            failed = 1;
            continue;
        }
        if ((int)w > max_w || (int)h > max_h) {
            fprintf(stderr, "xmodes: %s is larger than the screen (%dx%d), skipped\n", argv[i], max_w, max_h);
            failed = 1;
            continue;
        }
        /* Blanking chosen so that the dot clock comes out as an exact multiple of the
         * totals: Wine derives the rate as dotClock / (hTotal * vTotal). */
        XRRModeInfo mi;
        memset(&mi, 0, sizeof mi);
        char name[64];
        snprintf(name, sizeof name, "%ux%u_%u", w, h, rate);
        mi.width = w;
        mi.height = h;
        mi.hSyncStart = w + 16;
        mi.hSyncEnd = w + 16 + 96;
        mi.hTotal = w + 160;
        mi.vSyncStart = h + 3;
        mi.vSyncEnd = h + 3 + 4;
        mi.vTotal = h + 30;
        mi.dotClock = (unsigned long)mi.hTotal * mi.vTotal * rate;
        mi.name = name;
        mi.nameLength = (unsigned)strlen(name);
        RRMode mode = XRRCreateMode(dpy, root, &mi);
        if (mode == None) {
            fprintf(stderr, "xmodes: could not create %s\n", name);
            failed = 1;
            continue;
        }
        int errors_before = x_errors;
        XRRAddOutputMode(dpy, out, mode);
        XSync(dpy, False);
        if (x_errors != errors_before) {
            failed = 1;
            continue;
        }
        printf("added %s\n", name);
    }
    XSetCloseDownMode(dpy, RetainPermanent);
    XRRFreeScreenResources(res);
    XCloseDisplay(dpy);
    return failed;
}
