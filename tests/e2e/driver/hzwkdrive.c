/* hzwkdrive SCRIPT: drives the real hzwk.exe for the end-to-end tests, one command a line
 * (see README.md). The first failure prints the visible windows and "FAIL: line N: ...", and
 * ends the run with exit status 1. */
#include <windows.h>
#include <commctrl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "d3dtest/d3d_titles.h"
#include "win/control_ids.h"

#define DEFAULT_TIMEOUT_MS 20000
#define POLL_MS 25
#define SEND_TIMEOUT_MS 5000
#define TEXT_CAP 16384

static int g_line_no;
static HANDLE g_child;
static DWORD g_child_pid;
static int g_busy; /* a sent message got no answer in time */

/* The visible windows and their controls, for a failure's diagnosis. */
static BOOL CALLBACK dump(HWND hwnd, LPARAM child)
{
    char cls[64] = "", text[512] = "";
    DWORD_PTR got;
    if (!child && !IsWindowVisible(hwnd)) return TRUE;
    GetClassNameA(hwnd, cls, sizeof cls);
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 1000, &got);
    text[sizeof text - 1] = 0;
    printf("%s id=%d %s%s%s \"%s\"\n", child ? "    control" : "  window", GetDlgCtrlID(hwnd), cls,
           IsWindowVisible(hwnd) ? "" : " hidden", IsWindowEnabled(hwnd) ? "" : " disabled", text);
    if (!child) EnumChildWindows(hwnd, dump, 1);
    return TRUE;
}

static void fail(const char *fmt, ...)
{
    va_list ap;
    printf("visible windows:\n");
    EnumWindows(dump, 0);
    printf("FAIL: line %d: ", g_line_no);
    va_start(ap, fmt);
    vprintf(fmt, ap);
    va_end(ap);
    printf("\n");
    exit(1);
}

/* ---- script text ---- */

/* Reads one token, a quoted string or a run of non-blanks, into out; returns the position
 * after it, or NULL when the line has no more. */
static const char *next_token(const char *p, char *out, size_t cap)
{
    size_t n = 0;
    while (*p == ' ' || *p == '\t') p++;
    if (!*p) return NULL;
    if (*p == '"') {
        for (p++; *p && *p != '"'; p++) {
            char c = *p;
            if (c == '\\' && p[1] && strchr("nrt\\\"", p[1])) {
                c = *++p;
                c = c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
            }
            if (n + 1 < cap) out[n++] = c;
        }
        if (*p++ != '"') fail("unterminated quoted text");
    } else {
        for (; *p && *p != ' ' && *p != '\t'; p++)
            if (n + 1 < cap) out[n++] = *p;
    }
    out[n] = 0;
    return p;
}

/* The rest of the line as one TEXT: quoted, or as it stands after one separating blank. */
static void rest_text(const char *p, char *out, size_t cap)
{
    const char *q = p ? p : "";
    while (*q == ' ' || *q == '\t') q++;
    if (*q == '"') next_token(q, out, cap);
    else snprintf(out, cap, "%s", p && (*p == ' ' || *p == '\t') ? p + 1 : q);
}

static long number(const char *s, const char *what)
{
    char *end;
    long v = strtol(s, &end, 0);
    if (!*s || *end) fail("bad %s '%s'", what, s);
    return v;
}

/* ---- windows ---- */

static const char *title_of(const char *name)
{
    static const char *const alias[][2] = {
        {"main", HZWK_TITLE_MAIN}, {"box", HZWK_TITLE_BOX},  {"tvout", HZWK_TITLE_TVOUT},
        {"about", HZWK_TITLE_ABOUT}, {"d3d", HZWK_TITLE_D3D}, {"d3dtest", HZWK_TITLE_D3D_TEST}};
    size_t i;
    for (i = 0; i < sizeof alias / sizeof alias[0]; i++)
        if (!strcmp(name, alias[i][0])) return alias[i][1];
    return name;
}

struct search {
    const char *title; /* a visible top-level window with this title, */
    DWORD pid;         /* or any of this process's (title NULL) */
    int id;            /* or a descendant control with this id */
    HWND found;
};

static BOOL CALLBACK search_one(HWND hwnd, LPARAM lp)
{
    struct search *s = (struct search *)lp;
    char buf[512] = "";
    DWORD pid = 0;
    if (s->id) {
        if (GetDlgCtrlID(hwnd) != s->id) return TRUE;
    } else {
        if (!IsWindowVisible(hwnd)) return TRUE;
        GetWindowTextA(hwnd, buf, sizeof buf);
        GetWindowThreadProcessId(hwnd, &pid);
        if (s->title ? strcmp(buf, s->title) != 0 : pid != s->pid) return TRUE;
    }
    s->found = hwnd;
    return FALSE;
}

static HWND find_window(const char *name)
{
    struct search s = {title_of(name), 0, 0, NULL};
    EnumWindows(search_one, (LPARAM)&s);
    return s.found;
}

/* Any descendant with that id: a control may sit inside a frame. */
static HWND find_control(HWND top, const char *id)
{
    struct search s = {NULL, 0, (int)number(id, "control id"), NULL};
    EnumChildWindows(top, search_one, (LPARAM)&s);
    return s.found;
}

static HWND need_window(const char *name)
{
    HWND w = find_window(name);
    if (!w) fail("no visible window \"%s\"", title_of(name));
    return w;
}

static HWND need_control(const char *name, const char *id)
{
    HWND c = find_control(need_window(name), id);
    if (!c) fail("window %s has no control %s", name, id);
    return c;
}

/* A sent message's answer. The program may be busy (a message box just answered): a query
 * then reads "busy" and is asked again, any other command fails. */
static LRESULT ask(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(w, msg, wp, lp, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &r)) g_busy = 1;
    return (LRESULT)r;
}

/* The entries of a combo box joined by '|'. Read as UTF-16: that is how Wine hands
 * CB_GETLBTEXT's text across processes, even to SendMessageA. */
static void combo_items(HWND c, char *out, size_t cap)
{
    int i, count = (int)ask(c, CB_GETCOUNT, 0, 0);
    size_t n = 0;
    WCHAR witem[512];
    char item[1024];
    out[0] = 0;
    for (i = 0; i < count; i++) {
        DWORD_PTR r;
        if ((size_t)ask(c, CB_GETLBTEXTLEN, i, 0) >= sizeof witem / sizeof witem[0]) fail("combo entry %d too long", i);
        witem[0] = 0;
        if (!SendMessageTimeoutW(c, CB_GETLBTEXT, i, (LPARAM)witem, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &r)) g_busy = 1;
        if (!WideCharToMultiByte(CP_ACP, 0, witem, -1, item, sizeof item, NULL, NULL)) item[0] = 0;
        n += snprintf(out + n, n < cap ? cap - n : 0, "%s%s", i ? "|" : "", item);
    }
    if (n >= cap) fail("combo box list longer than %u characters", (unsigned)cap);
}

/* A value of HKLM as sz:TEXT, dword:N, absent, or its type and size. Read in the program's
 * view (HZWKDRIVE_REG_VIEW=32/64): a 32-bit program on 64-bit Windows sees HKLM\SOFTWARE
 * through Wow6432Node, whatever this driver's own bitness. */
static void reg_value(const char *path, const char *name, char *out, size_t cap)
{
    const char *view = getenv("HZWKDRIVE_REG_VIEW");
    REGSAM sam = KEY_READ | (!view ? 0 : !strcmp(view, "32") ? KEY_WOW64_32KEY : KEY_WOW64_64KEY);
    HKEY key;
    DWORD type = 0, size = TEXT_CAP, data[TEXT_CAP / 4 + 1] = {0};
    if (!_strnicmp(path, "HKLM\\", 5)) path += 5;
    snprintf(out, cap, "absent");
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, sam, &key) != ERROR_SUCCESS) return;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE *)data, &size) == ERROR_SUCCESS) {
        if (type == REG_SZ) snprintf(out, cap, "sz:%s", (char *)data); /* up to the first NUL */
        else if (type == REG_DWORD && size == 4) snprintf(out, cap, "dword:%lu", data[0]);
        else snprintf(out, cap, "type %lu, %lu bytes", type, size);
    }
    RegCloseKey(key);
}

/* ---- properties: what a query prints and what "expect" compares ---- */

static const struct {
    const char *name;
    int args; /* 1: WIN, 2: WIN ID (reg: KEY VALUE), 3: WIN [ID] */
} g_props[] = {{"text", 2},   {"checked", 2}, {"updown-pos", 2}, {"combo-items", 2}, {"reg", 2},
               {"enabled", 3}, {"exists", 1},  {"defid", 1},      {"focus", 1}};

/* Reads a property's arguments into a and b; returns the rest of the line, or NULL when
 * name is not a property. */
static const char *prop_args(const char *name, const char *p, char *a, char *b, size_t cap)
{
    size_t i;
    char peek[64];
    for (i = 0; i < sizeof g_props / sizeof g_props[0] && strcmp(name, g_props[i].name); i++) {}
    if (i == sizeof g_props / sizeof g_props[0]) return NULL;
    b[0] = 0;
    if (!p || !(p = next_token(p, a, cap))) fail("%s: missing window", name);
    if (g_props[i].args == 3 && next_token(p, peek, sizeof peek) && strtol(peek, NULL, 0)) p = next_token(p, b, cap);
    if (g_props[i].args == 2 && !(p = next_token(p, b, cap))) fail("%s: missing argument", name);
    return p;
}

/* A window that is not there reads "none", so that an expectation can wait for it. */
static void query(const char *name, const char *a, const char *b, char *out, size_t cap)
{
    HWND w, c;
    if (!strcmp(name, "reg")) return reg_value(a, b, out, cap);
    w = find_window(a);
    c = w && b[0] ? find_control(w, b) : w;
    snprintf(out, cap, "%s", !strcmp(name, "exists") ? (w ? "yes" : "no") : "none");
    if (!c || !strcmp(name, "exists")) return;
    if (!strcmp(name, "text")) {
        ask(c, WM_GETTEXT, cap, (LPARAM)out);
        out[cap - 1] = 0;
    } else if (!strcmp(name, "enabled")) {
        snprintf(out, cap, IsWindowEnabled(c) ? "yes" : "no");
    } else if (!strcmp(name, "checked")) {
        snprintf(out, cap, ask(c, BM_GETCHECK, 0, 0) == BST_CHECKED ? "yes" : "no");
    } else if (!strcmp(name, "updown-pos")) {
        snprintf(out, cap, "%ld", (long)(LONG)ask(c, UDM_GETPOS32, 0, 0));
    } else if (!strcmp(name, "combo-items")) {
        combo_items(c, out, cap);
    } else if (!strcmp(name, "defid")) { /* the button Enter presses */
        LRESULT r = ask(w, DM_GETDEFID, 0, 0);
        if (HIWORD(r) == DC_HASDEFID) snprintf(out, cap, "%u", (unsigned)LOWORD(r));
    } else { /* focus: the control that has the keyboard focus in the window's thread */
        GUITHREADINFO gti = {0};
        gti.cbSize = sizeof gti;
        GetGUIThreadInfo(GetWindowThreadProcessId(w, NULL), &gti);
        if (gti.hwndFocus && IsChild(w, gti.hwndFocus)) snprintf(out, cap, "%d", GetDlgCtrlID(gti.hwndFocus));
    }
    if (g_busy) snprintf(out, cap, "busy");
    g_busy = 0;
}

static void print_value(const char *name, const char *a, const char *b, const char *value)
{
    printf("%s %s%s%s \"%s\"\n", name, a, b[0] ? " " : "", b, value);
}

/* Polls until the property reads want (posted keys and clicks take effect later). */
static void expect(const char *name, const char *a, const char *b, const char *want, DWORD ms)
{
    static char got[TEXT_CAP];
    DWORD start = GetTickCount();
    for (query(name, a, b, got, sizeof got); strcmp(got, want); query(name, a, b, got, sizeof got)) {
        if (GetTickCount() - start >= ms)
            fail("%s %s%s%s after %lu ms:\n  expected \"%s\"\n  actual   \"%s\"", name, a, b[0] ? " " : "", b, ms, want, got);
        Sleep(POLL_MS);
    }
    print_value(name, a, b, got);
}

/* ---- input ---- */

/* Posts one key to a control. Dialog and movement keys go as WM_KEYDOWN + WM_KEYUP, which the
 * program's loop hands to IsDialogMessage. A character (or BACK) goes as the WM_CHAR the
 * control would get: a posted WM_KEYDOWN would leave it to the program's TranslateMessage,
 * which queues it behind keys posted later, so "0 RETURN" would arrive as Enter, then 0. */
static void post_key(HWND c, const char *key)
{
    static const struct { const char *name; UINT vk; } keys[] = {
        {"TAB", VK_TAB}, {"RETURN", VK_RETURN}, {"LEFT", VK_LEFT}, {"RIGHT", VK_RIGHT}, {"UP", VK_UP}, {"DOWN", VK_DOWN}};
    size_t i;
    for (i = 0; i < sizeof keys / sizeof keys[0]; i++) {
        LPARAM lp = 1 | (LPARAM)(MapVirtualKeyA(keys[i].vk, 0) & 0xFF) << 16;
        if (_stricmp(key, keys[i].name)) continue;
        PostMessageA(c, WM_KEYDOWN, keys[i].vk, lp);
        PostMessageA(c, WM_KEYUP, keys[i].vk, lp | (LPARAM)0xC0000000);
        return;
    }
    if (!_stricmp(key, "BACK")) key = "\b";
    if (strlen(key) != 1) fail("unknown key '%s'", key);
    PostMessageA(c, WM_CHAR, (WPARAM)(unsigned char)key[0], 1);
}

/* ---- the started program ---- */

static void take_child(HANDLE process, DWORD pid)
{
    if (g_child) CloseHandle(g_child);
    g_child = process;
    g_child_pid = pid;
}

static void start(const char *p)
{
    char path[MAX_PATH], args[1024], cmdline[1400];
    STARTUPINFOA si = {0};
    PROCESS_INFORMATION pi;
    si.cb = sizeof si;
    if (!(p = next_token(p, path, sizeof path))) fail("start: missing program");
    rest_text(p, args, sizeof args);
    snprintf(cmdline, sizeof cmdline, "\"%s\"%s%s", path, args[0] ? " " : "", args);
    if (!CreateProcessA(NULL, cmdline, NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi))
        fail("cannot start %s, error %lu", cmdline, GetLastError());
    CloseHandle(pi.hThread);
    take_child(pi.hProcess, pi.dwProcessId);
}

/* The program that owns the window becomes the started one, for a later script. */
static void attach(const char *name)
{
    DWORD pid = 0;
    HANDLE process;
    GetWindowThreadProcessId(need_window(name), &pid);
    if (!(process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid)))
        fail("cannot open process %lu, error %lu", pid, GetLastError());
    take_child(process, pid);
}

/* With "quiet", a window of the program fails the run: it must end without one. */
static void wait_exit(DWORD ms, int quiet)
{
    DWORD start = GetTickCount(), code = 0;
    if (!g_child) fail("wait-exit: nothing started");
    while (WaitForSingleObject(g_child, POLL_MS) != WAIT_OBJECT_0) {
        struct search s = {NULL, g_child_pid, 0, NULL};
        if (quiet) EnumWindows(search_one, (LPARAM)&s);
        if (s.found) fail("the program showed a window");
        if (GetTickCount() - start >= ms) fail("the program still runs after %lu ms", ms);
    }
    GetExitCodeProcess(g_child, &code);
    printf("exit %lu\n", code);
}

/* ---- commands ---- */

static void run_line(const char *line)
{
    static char text[TEXT_CAP];
    char cmd[64], a[512], b[512], c[64] = "";
    const char *p = next_token(line, cmd, sizeof cmd), *pa, *pb;
    const DWORD ms = DEFAULT_TIMEOUT_MS;
    if (!p || cmd[0] == '#') return;
    if (!strcmp(cmd, "expect")) { /* expect PROPERTY ARGS TEXT */
        if (!(p = next_token(p, cmd, sizeof cmd)) || !(p = prop_args(cmd, p, a, b, sizeof a)))
            fail("expect: no property");
        rest_text(p, text, sizeof text);
        expect(cmd, a, b, text, ms);
        return;
    }
    if (prop_args(cmd, p, a, b, sizeof a)) {
        query(cmd, a, b, text, sizeof text);
        print_value(cmd, a, b, text);
        return;
    }
    a[0] = b[0] = 0;
    if ((pa = next_token(p, a, sizeof a)) && (pb = next_token(pa, b, sizeof b))) next_token(pb, c, sizeof c);
    else pb = NULL;

    if (!strcmp(cmd, "start")) start(p);
    else if (!strcmp(cmd, "attach")) attach(a);
    else if (!strcmp(cmd, "wait-exit")) wait_exit(a[0] ? (DWORD)number(a, "timeout") : ms, !strcmp(b, "quiet"));
    else if (!strcmp(cmd, "wait-window") || !strcmp(cmd, "wait-gone"))
        expect("exists", a, "", strcmp(cmd, "wait-gone") ? "yes" : "no", b[0] ? (DWORD)number(b, "timeout") : ms);
    else if (!strcmp(cmd, "click")) PostMessageA(need_control(a, b), BM_CLICK, 0, 0);
    else if (!strcmp(cmd, "answer")) {
        /* answer ok/yes/no/cancel [TEXT]: the message box's text, then its button */
        static const char *const buttons[] = {"", "ok", "cancel", "", "", "", "yes", "no"};
        int id = IDNO;
        while (id && strcmp(a, buttons[id])) id--;
        if (!id || !a[0]) fail("unknown button '%s'", a);
        expect("exists", "box", "", "yes", ms);
        rest_text(pa, text, sizeof text);
        if (text[0]) {
            snprintf(b, sizeof b, "%d", IDC_MSGBOX_TEXT);
            expect("text", "box", b, text, ms); /* the box answered before may still be there */
        }
        snprintf(b, sizeof b, "%d", id);
        PostMessageA(need_control("box", b), BM_CLICK, 0, 0);
    } else if (!strcmp(cmd, "menu")) PostMessageA(need_window(a), WM_COMMAND, number(b, "menu id"), 0);
    else if (!strcmp(cmd, "set-text")) {
        rest_text(pb, text, sizeof text);
        ask(need_control(a, b), WM_SETTEXT, 0, (LPARAM)text);
    } else if (!strcmp(cmd, "updown")) {
        /* Sets the position and tells the parent as the control does after a click. */
        HWND ud = need_control(a, b);
        long pos = number(c, "position");
        UINT msg = (GetWindowLongA(ud, GWL_STYLE) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
        ask(ud, UDM_SETPOS32, 0, pos);
        PostMessageA(GetParent(ud), msg, MAKEWPARAM(SB_THUMBPOSITION, (WORD)pos), (LPARAM)ud);
        PostMessageA(GetParent(ud), msg, MAKEWPARAM(SB_ENDSCROLL, (WORD)pos), (LPARAM)ud);
    } else if (!strcmp(cmd, "key")) {
        HWND ctl = need_control(a, b);
        if (!c[0]) fail("key: missing key");
        while ((pb = next_token(pb, c, sizeof c))) post_key(ctl, c);
    } else if (!strcmp(cmd, "set-focus")) {
        PostMessageA(need_window(a), WM_NEXTDLGCTL, (WPARAM)need_control(a, b), TRUE);
    } else if (!strcmp(cmd, "lclick")) {
        /* In the middle of the control (or window), or of its right half: an up-down's up arrow. */
        HWND w = b[0] ? need_control(a, b) : need_window(a);
        RECT r;
        LPARAM at;
        GetClientRect(w, &r);
        at = MAKELPARAM(strcmp(c, "right") ? r.right / 2 : r.right * 3 / 4, r.bottom / 2);
        PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(w, WM_LBUTTONUP, 0, at);
    } else if (!strcmp(cmd, "combo-select")) {
        /* Selects the entry that reads TEXT and tells the parent, as picking it does. */
        HWND cb = need_control(a, b);
        char *item = text + TEXT_CAP / 2, *bar;
        int i = 0;
        rest_text(pb, text, TEXT_CAP / 2);
        combo_items(cb, item, TEXT_CAP / 2);
        for (;; item = bar + 1, i++) {
            if ((bar = strchr(item, '|'))) *bar = 0;
            if (!strcmp(item, text)) break;
            if (!bar) fail("combo box %s has no entry \"%s\"", b, text);
        }
        ask(cb, CB_SETCURSEL, i, 0);
        PostMessageA(GetParent(cb), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(cb), CBN_SELCHANGE), (LPARAM)cb);
    } else if (!strcmp(cmd, "deactivate")) PostMessageA(need_window(a), WM_ACTIVATEAPP, FALSE, 0);
    else if (!strcmp(cmd, "close")) PostMessageA(need_window(a), WM_CLOSE, 0, 0);
    else if (!strcmp(cmd, "sleep")) Sleep((DWORD)number(a, "milliseconds"));
    else fail("unknown command '%s'", cmd);
    if (g_busy) fail("the program did not answer within %d ms", SEND_TIMEOUT_MS);
}

int main(int argc, char **argv)
{
    static char line[20000];
    FILE *in = argc == 2 ? fopen(argv[1], "r") : NULL;
    setvbuf(stdout, NULL, _IONBF, 0);
    if (!in) {
        fprintf(stderr, "usage: hzwkdrive SCRIPT\n");
        return 1;
    }
    while (fgets(line, sizeof line, in)) {
        line[strcspn(line, "\r\n")] = 0;
        g_line_no++;
        run_line(line);
    }
    printf("ok\n");
    return 0;
}
