/* xmodes WxH[xDEPTH]@RATE...: adds display modes with refresh rates to the Xvfb screen on
 * $DISPLAY, so that Wine offers them. The depth is ignored: X has one depth per screen, and
 * Wine lists every mode at 32, 16 and 8 bpp.
 * Xvfb frees a mode made by `xrandr --newmode` as soon as that client disconnects, before a
 * separate `xrandr --addmode` can use it. So every mode is created and added to the output in
 * this one connection, whose resources are kept after it closes. Run it before Wine's desktop
 * starts: Wine reads the list once. Exits 1 if a mode could not be added. */
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <stdio.h>
#include <string.h>

static int errors;

/* An X error (a mode the output refuses) must not end the program through Xlib's default
 * handler before the other modes are added. */
static int on_x_error(Display *dpy, XErrorEvent *ev)
{
    char text[128];
    XGetErrorText(dpy, ev->error_code, text, sizeof text);
    return fprintf(stderr, "xmodes: X error: %s\n", text), errors++, 0;
}

int main(int argc, char **argv)
{
    Display *dpy = XOpenDisplay(NULL);
    XRRScreenResources *res = dpy ? XRRGetScreenResources(dpy, DefaultRootWindow(dpy)) : NULL;
    if (!res || res->noutput < 1) {
        fprintf(stderr, "xmodes: no display with a RandR output\n");
        return 2;
    }
    XSetErrorHandler(on_x_error);
    for (int i = 1; i < argc; i++) {
        unsigned w, h, rate;
        const char *at = strchr(argv[i], '@');
        char name[64];
        if (sscanf(argv[i], "%ux%u", &w, &h) != 2 || !at || sscanf(at + 1, "%u", &rate) != 1 || !rate) {
            fprintf(stderr, "xmodes: bad mode '%s'\n", argv[i]), errors++;
            continue;
        }
        snprintf(name, sizeof name, "%ux%u_%u", w, h, rate);
        /* Blanking chosen so that the dot clock is an exact multiple of the totals: Wine
         * derives the rate as dotClock / (hTotal * vTotal). */
        XRRModeInfo mi = {
            .width = w, .height = h,
            .hSyncStart = w + 16, .hSyncEnd = w + 112, .hTotal = w + 160,
            .vSyncStart = h + 3, .vSyncEnd = h + 7, .vTotal = h + 30,
            .name = name, .nameLength = (unsigned)strlen(name),
        };
        mi.dotClock = (unsigned long)mi.hTotal * mi.vTotal * rate;
        XRRAddOutputMode(dpy, res->outputs[0], XRRCreateMode(dpy, DefaultRootWindow(dpy), &mi));
    }
    XSync(dpy, False);
    XSetCloseDownMode(dpy, RetainPermanent);
    XCloseDisplay(dpy);
    return errors != 0;
}
