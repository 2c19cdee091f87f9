/* hzwkcontrols TITLE: the controls of the top-level window of that exact title, one a line:
   "ID X Y ENABLED TEXT", X Y the control's middle on the screen (where xdotool clicks). Wine's
   controls are no X windows, so no X tool sees them. Exit status 1: no such window. */
#include <windows.h>
#include <stdio.h>

static BOOL CALLBACK Print(HWND control, LPARAM unused)
{
    char text[512] = "";
    RECT r;
    (void)unused; /* WM_GETTEXT reads another process's static texts; GetWindowText does not */
    SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, NULL);
    GetWindowRect(control, &r);
    if (IsWindowVisible(control))
        printf("%d %ld %ld %d %s\n", GetDlgCtrlID(control), (r.left + r.right) / 2, (r.top + r.bottom) / 2,
               IsWindowEnabled(control) ? 1 : 0, text);
    return TRUE;
}

int main(int argc, char **argv)
{
    HWND window = argc == 2 ? FindWindowA(NULL, argv[1]) : NULL;
    if (window == NULL) return 1;
    EnumChildWindows(window, Print, 0);
    return 0;
}
