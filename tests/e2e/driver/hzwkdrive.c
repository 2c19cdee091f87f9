/* hzwkdrive: drives the real hzwk.exe from a line-based script, for the end-to-end tests.
 *
 *   hzwkdrive.exe SCRIPT      (or "-" / no argument: read the script from standard input)
 *
 * One command per line; blank lines and lines starting with '#' are skipped. Windows are
 * named by alias (main, box, tvout, about, d3d, d3dtest) or by their exact title in double
 * quotes. Control ids are numbers (decimal or 0x...). A TEXT argument is the rest of the
 * line; put it in double quotes to keep leading/trailing blanks, with \n \r \t \\ \" escapes
 * (any other backslash stands for itself).
 * Every command prints what it saw on one line; the first failed expectation or timeout
 * prints "FAIL: line N: ..." plus a dump of the visible windows and ends the run
 * (exit 1 = failed expectation, 2 = timeout, 3 = bad script or usage). See README.md. */
#include <windows.h>
#include <commctrl.h>
#include <ctype.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "d3dtest/d3d_titles.h"
#include "win/control_ids.h"

#define EXIT_EXPECT 1
#define EXIT_TIMEOUT 2
#define EXIT_USAGE 3
#define DEFAULT_TIMEOUT_MS 20000
#define POLL_MS 25
#define SEND_TIMEOUT_MS 5000
#define MAX_SEEN 32

static int g_line_no;
static PROCESS_INFORMATION g_child;
static int g_have_child;
static char g_seen[MAX_SEEN][256]; /* titles of the child's visible windows seen while waiting */
static int g_seen_count;

static void dump_windows(void);

static void fail(int code, const char *fmt, ...)
{
    va_list ap;
    printf("FAIL: line %d: ", g_line_no);
    va_start(ap, fmt);
    vprintf(fmt, ap);
    va_end(ap);
    printf("\n");
    dump_windows();
    fflush(stdout);
    exit(code);
}

/* ---- text helpers ---- */

/* Prints s with control characters escaped, so a result stays on one line. */
static void print_escaped(const char *s)
{
    for (; *s; s++) {
        unsigned char c = (unsigned char)*s;
        if (c == '\n') fputs("\\n", stdout);
        else if (c == '\r') fputs("\\r", stdout);
        else if (c == '\t') fputs("\\t", stdout);
        else if (c == '\\') fputs("\\\\", stdout);
        else if (c < 0x20 || c == 0x7f) printf("\\x%02x", c);
        else putchar(c);
    }
}

/* Reads one token: a double-quoted string (escapes decoded) or a run of non-blanks.
 * Returns a pointer past the token, or NULL when the line has no more tokens. */
static const char *next_token(const char *p, char *out, size_t cap)
{
    size_t n = 0;
    while (*p == ' ' || *p == '\t') p++;
    if (!*p) return NULL;
    if (*p == '"') {
        p++;
        while (*p && *p != '"') {
            char c = *p++;
            /* Only \n \r \t \\ \" are escapes, so Windows paths need no doubling. */
            if (c == '\\' && *p && strchr("nrt\\\"", *p)) {
                char e = *p++;
                c = e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
            }
            if (n + 1 < cap) out[n++] = c;
        }
        if (*p != '"') fail(EXIT_USAGE, "unterminated quoted text");
        p++;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            if (n + 1 < cap) out[n++] = *p++;
            else p++;
    }
    out[n] = 0;
    return p;
}

/* The rest of the line as one TEXT argument: quoted (escapes decoded) or taken as it
 * stands after the single separating blank. */
static void rest_text(const char *p, char *out, size_t cap)
{
    const char *q = p;
    while (*q == ' ' || *q == '\t') q++;
    if (*q == '"') {
        next_token(q, out, cap);
        return;
    }
    if (*p == ' ' || *p == '\t') p++;
    snprintf(out, cap, "%s", p);
}

static long parse_number(const char *s, const char *what)
{
    char *end;
    long v;
    if (!s || !*s) fail(EXIT_USAGE, "missing %s", what);
    v = strtol(s, &end, 0);
    if (*end) fail(EXIT_USAGE, "bad %s '%s'", what, s);
    return v;
}

/* ---- windows ---- */

static const char *resolve_title(const char *name)
{
    if (!strcmp(name, "main")) return HZWK_TITLE_MAIN;
    if (!strcmp(name, "box")) return HZWK_TITLE_BOX;
    if (!strcmp(name, "tvout")) return HZWK_TITLE_TVOUT;
    if (!strcmp(name, "about")) return HZWK_TITLE_ABOUT;
    if (!strcmp(name, "d3d")) return HZWK_TITLE_D3D;
    if (!strcmp(name, "d3dtest")) return HZWK_TITLE_D3D_TEST;
    return name;
}

struct find_ctx {
    const char *title;
    HWND found;
};

static BOOL CALLBACK find_top(HWND hwnd, LPARAM lp)
{
    struct find_ctx *ctx = (struct find_ctx *)lp;
    char buf[512];
    if (!IsWindowVisible(hwnd)) return TRUE;
    buf[0] = 0;
    GetWindowTextA(hwnd, buf, sizeof buf);
    if (!strcmp(buf, ctx->title)) {
        ctx->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

static HWND find_window(const char *title)
{
    struct find_ctx ctx = {title, NULL};
    EnumWindows(find_top, (LPARAM)&ctx);
    return ctx.found;
}

struct child_ctx {
    int id;
    HWND found;
};

static BOOL CALLBACK find_child(HWND hwnd, LPARAM lp)
{
    struct child_ctx *ctx = (struct child_ctx *)lp;
    if (GetDlgCtrlID(hwnd) == ctx->id) {
        ctx->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

/* Any descendant with that id: a control may sit inside a frame or group. */
static HWND find_control(HWND top, int id)
{
    struct child_ctx ctx = {id, NULL};
    EnumChildWindows(top, find_child, (LPARAM)&ctx);
    return ctx.found;
}

static HWND need_window(const char *name)
{
    HWND w = find_window(resolve_title(name));
    if (!w) fail(EXIT_EXPECT, "no visible window titled \"%s\"", resolve_title(name));
    return w;
}

static HWND need_control(const char *name, const char *id_text)
{
    HWND top = need_window(name);
    int id = (int)parse_number(id_text, "control id");
    HWND c = find_control(top, id);
    if (!c) fail(EXIT_EXPECT, "window \"%s\" has no control %s", resolve_title(name), id_text);
    return c;
}

static void get_text(HWND w, char *out, size_t cap)
{
    DWORD_PTR got = 0;
    out[0] = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXT, (WPARAM)cap, (LPARAM)out, SMTO_ABORTIFHUNG,
                             SEND_TIMEOUT_MS, &got))
        fail(EXIT_TIMEOUT, "WM_GETTEXT did not answer within %d ms", SEND_TIMEOUT_MS);
    out[cap - 1] = 0;
}

static void note_child_windows(void);

/* Polls until find_window's result is (or is not) there. Returns the window or NULL. */
static HWND wait_for(const char *title, int want_present, DWORD timeout_ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND w = find_window(title);
        note_child_windows();
        if (want_present ? w != NULL : w == NULL) return w;
        if (GetTickCount() - start >= timeout_ms) return (HWND)-1;
        Sleep(POLL_MS);
    }
}

static BOOL CALLBACK dump_child(HWND hwnd, LPARAM lp)
{
    char cls[64], text[512];
    (void)lp;
    GetClassNameA(hwnd, cls, sizeof cls);
    text[0] = 0;
    {
        DWORD_PTR got;
        SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 1000, &got);
        text[sizeof text - 1] = 0;
    }
    printf("    id=%d class=%s%s%s text=\"", GetDlgCtrlID(hwnd), cls,
           IsWindowVisible(hwnd) ? "" : " hidden", IsWindowEnabled(hwnd) ? "" : " disabled");
    print_escaped(text);
    printf("\"\n");
    return TRUE;
}

static BOOL CALLBACK dump_top(HWND hwnd, LPARAM lp)
{
    char title[512], cls[64];
    DWORD pid = 0;
    (void)lp;
    if (!IsWindowVisible(hwnd)) return TRUE;
    GetWindowTextA(hwnd, title, sizeof title);
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowThreadProcessId(hwnd, &pid);
    printf("  window \"");
    print_escaped(title);
    printf("\" class=%s pid=%lu%s\n", cls, (unsigned long)pid, IsWindowEnabled(hwnd) ? "" : " disabled");
    EnumChildWindows(hwnd, dump_child, 0);
    return TRUE;
}

static void dump_windows(void)
{
    printf("visible windows:\n");
    EnumWindows(dump_top, 0);
}

/* ---- the started program ---- */

static BOOL CALLBACK note_top(HWND hwnd, LPARAM lp)
{
    DWORD pid = 0;
    char title[256];
    int i;
    (void)lp;
    if (!IsWindowVisible(hwnd)) return TRUE;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != g_child.dwProcessId) return TRUE;
    title[0] = 0;
    GetWindowTextA(hwnd, title, sizeof title);
    for (i = 0; i < g_seen_count; i++)
        if (!strcmp(g_seen[i], title)) return TRUE;
    if (g_seen_count < MAX_SEEN) strcpy(g_seen[g_seen_count++], title);
    return TRUE;
}

/* Remembers every visible top-level window of the started program, so that a run that
 * must end without a window can be checked afterwards. */
static void note_child_windows(void)
{
    if (g_have_child) EnumWindows(note_top, 0);
}

static void cmd_start(const char *rest)
{
    char path[MAX_PATH], args[1024], cmdline[1400];
    STARTUPINFOA si;
    const char *p = next_token(rest, path, sizeof path);
    if (!p) fail(EXIT_USAGE, "start: missing program path");
    rest_text(p, args, sizeof args);
    if (args[0]) snprintf(cmdline, sizeof cmdline, "\"%s\" %s", path, args);
    else snprintf(cmdline, sizeof cmdline, "\"%s\"", path);
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    if (g_have_child) {
        CloseHandle(g_child.hProcess);
        if (g_child.hThread) CloseHandle(g_child.hThread);
    }
    g_seen_count = 0;
    if (!CreateProcessA(NULL, cmdline, NULL, NULL, TRUE, 0, NULL, NULL, &si, &g_child))
        fail(EXIT_EXPECT, "start: CreateProcess(%s) failed, error %lu", cmdline, GetLastError());
    g_have_child = 1;
    printf("started pid=%lu\n", (unsigned long)g_child.dwProcessId);
}

/* attach WIN: takes the program that owns the window as the started program, so that a
 * later script (after a screenshot, say) can still wait for it to end. */
static void cmd_attach(const char *name)
{
    HWND w = need_window(name);
    DWORD pid = 0;
    HANDLE process;
    GetWindowThreadProcessId(w, &pid);
    process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!process) fail(EXIT_EXPECT, "attach: cannot open process %lu, error %lu", (unsigned long)pid, GetLastError());
    if (g_have_child) {
        CloseHandle(g_child.hProcess);
        if (g_child.hThread) CloseHandle(g_child.hThread);
    }
    memset(&g_child, 0, sizeof g_child);
    g_child.hProcess = process;
    g_child.dwProcessId = pid;
    g_have_child = 1;
    g_seen_count = 0;
    printf("attached pid=%lu\n", (unsigned long)pid);
}

static void print_seen(void)
{
    int i;
    printf("windows-seen %d", g_seen_count);
    for (i = 0; i < g_seen_count; i++) {
        printf(i ? " | \"" : " \"");
        print_escaped(g_seen[i]);
        printf("\"");
    }
    printf("\n");
}

/* wait-exit MS [quiet]: waits for the started program to end; prints its exit code and
 * the windows it showed. With "quiet", any window it showed fails the run. */
static void cmd_wait_exit(const char *rest)
{
    char tok[64], flag[64];
    DWORD timeout, start, code = 0;
    const char *p = next_token(rest, tok, sizeof tok);
    timeout = p ? (DWORD)parse_number(tok, "timeout") : DEFAULT_TIMEOUT_MS;
    flag[0] = 0;
    if (p) next_token(p, flag, sizeof flag);
    if (!g_have_child) fail(EXIT_USAGE, "wait-exit: nothing was started");
    start = GetTickCount();
    for (;;) {
        note_child_windows();
        if (WaitForSingleObject(g_child.hProcess, POLL_MS / 2) == WAIT_OBJECT_0) break;
        if (GetTickCount() - start >= timeout) {
            print_seen();
            fail(EXIT_TIMEOUT, "program still running after %lu ms", (unsigned long)timeout);
        }
    }
    GetExitCodeProcess(g_child.hProcess, &code);
    printf("exit %lu\n", (unsigned long)code);
    print_seen();
    if (!strcmp(flag, "quiet") && g_seen_count)
        fail(EXIT_EXPECT, "the program showed a window although it should end without one");
}

/* ---- registry and files ---- */

/* The registry view of the program under test: a 32-bit program on 64-bit Windows sees
 * HKLM\SOFTWARE through Wow6432Node. HZWKDRIVE_REG_VIEW=32 or 64 names it, so the checks
 * read what the program wrote whatever this driver's own bitness. */
static REGSAM reg_view(void)
{
    const char *view = getenv("HZWKDRIVE_REG_VIEW");
    if (view && !strcmp(view, "32")) return KEY_WOW64_32KEY;
    if (view && !strcmp(view, "64")) return KEY_WOW64_64KEY;
    return 0;
}

/* Formats a value as TYPE:DATA (sz:text, dword:N, hex(T):..., absent, absent-key). */
static void format_reg(const char *key_path, const char *value, char *out, size_t cap)
{
    HKEY key;
    DWORD type = 0, size = 0;
    BYTE *data;
    if (!_strnicmp(key_path, "HKLM\\", 5)) key_path += 5;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_path, 0, KEY_READ | reg_view(), &key) != ERROR_SUCCESS) {
        snprintf(out, cap, "absent-key");
        return;
    }
    if (RegQueryValueExA(key, value, NULL, &type, NULL, &size) != ERROR_SUCCESS) {
        RegCloseKey(key);
        snprintf(out, cap, "absent");
        return;
    }
    data = (BYTE *)calloc(size + 2, 1);
    if (!data || RegQueryValueExA(key, value, NULL, &type, data, &size) != ERROR_SUCCESS) {
        free(data);
        RegCloseKey(key);
        snprintf(out, cap, "unreadable");
        return;
    }
    RegCloseKey(key);
    if (type == REG_SZ) {
        /* Shown up to the first NUL, as the program reads it. */
        snprintf(out, cap, "sz:%s", (char *)data);
    } else if (type == REG_DWORD && size == 4) {
        DWORD v;
        memcpy(&v, data, 4);
        snprintf(out, cap, "dword:%lu", (unsigned long)v);
    } else {
        size_t n = snprintf(out, cap, "hex(%lu):", (unsigned long)type);
        DWORD i;
        for (i = 0; i < size && n + 4 < cap; i++) n += snprintf(out + n, cap - n, i ? ",%02x" : "%02x", data[i]);
    }
    free(data);
}

/* ---- keyboard, focus, mouse, combo boxes ---- */

struct key_name {
    const char *name;
    UINT vk;  /* 0: the key makes a character, posted as WM_CHAR */
    char ch;
};

static const struct key_name g_keys[] = {
    {"TAB", VK_TAB, 0},   {"RETURN", VK_RETURN, 0}, {"LEFT", VK_LEFT, 0}, {"RIGHT", VK_RIGHT, 0},
    {"UP", VK_UP, 0},     {"DOWN", VK_DOWN, 0},     {"BACK", 0, '\b'},
};

static LPARAM key_lparam(UINT vk, int up)
{
    UINT scan = MapVirtualKeyA(vk, 0 /* MAPVK_VK_TO_VSC */) & 0xFF;
    LPARAM lp = 1 | ((LPARAM)scan << 16);
    if (up) lp |= (LPARAM)0xC0000000; /* previous state down, transition up */
    return lp;
}

/* Posts one key to a control. Dialog and movement keys (Tab, Enter, Esc, arrows...) go as
 * WM_KEYDOWN + WM_KEYUP, which the program's loop hands to IsDialogMessage. A key that
 * types a character (any single character, SPACE, BACK) goes as the WM_CHAR the control
 * would get: posting its WM_KEYDOWN instead would leave the character to the program's
 * TranslateMessage, which queues it behind any keys posted after it, so "0 RETURN" would
 * arrive as Enter before the 0. Returns what was posted. */
static const char *post_key(HWND c, const char *key)
{
    size_t i;
    for (i = 0; i < sizeof g_keys / sizeof g_keys[0]; i++) {
        if (_stricmp(key, g_keys[i].name)) continue;
        if (!g_keys[i].vk) {
            PostMessageA(c, WM_CHAR, (WPARAM)(unsigned char)g_keys[i].ch, 1);
            return "char";
        }
        PostMessageA(c, WM_KEYDOWN, g_keys[i].vk, key_lparam(g_keys[i].vk, 0));
        PostMessageA(c, WM_KEYUP, g_keys[i].vk, key_lparam(g_keys[i].vk, 1));
        return "key";
    }
    if (strlen(key) == 1) {
        PostMessageA(c, WM_CHAR, (WPARAM)(unsigned char)key[0], 1);
        return "char";
    }
    fail(EXIT_USAGE, "unknown key '%s' (a character, or TAB RETURN BACK LEFT RIGHT UP DOWN)", key);
    return NULL;
}

/* The control that has the keyboard focus in WIN's thread (0 when none), as its id. */
static HWND focus_of(HWND top, int *id)
{
    GUITHREADINFO gti;
    DWORD tid = GetWindowThreadProcessId(top, NULL);
    memset(&gti, 0, sizeof gti);
    gti.cbSize = sizeof gti;
    *id = 0;
    if (!GetGUIThreadInfo(tid, &gti)) fail(EXIT_EXPECT, "GetGUIThreadInfo failed, error %lu", GetLastError());
    if (gti.hwndFocus) *id = gti.hwndFocus == top ? 0 : GetDlgCtrlID(gti.hwndFocus);
    return gti.hwndFocus;
}

/* Posts a left click (down, up) to a window's client area: its middle, or the middle of one
 * half ("left", "right", "top", "bottom"), where an up-down control has its arrows. */
static void post_click(HWND w, const char *side)
{
    RECT r;
    LPARAM at;
    int x, y;
    GetClientRect(w, &r);
    x = r.right / 2;
    y = r.bottom / 2;
    if (!strcmp(side, "left")) x = r.right / 4;
    else if (!strcmp(side, "right")) x = r.right * 3 / 4;
    else if (!strcmp(side, "top")) y = r.bottom / 4;
    else if (!strcmp(side, "bottom")) y = r.bottom * 3 / 4;
    else if (side[0]) fail(EXIT_USAGE, "lclick: unknown side '%s'", side);
    at = MAKELPARAM(x, y);
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(w, WM_LBUTTONUP, 0, at);
}

/* The entries of a combo box joined by '|'; returns the count. Read as Unicode: Wine hands
 * CB_GETLBTEXT's text across processes as UTF-16 even to SendMessageA. */
static int combo_items(HWND c, char *out, size_t cap)
{
    DWORD_PTR count = 0, len = 0;
    size_t n = 0;
    int i;
    WCHAR witem[512];
    char item[1024];
    out[0] = 0;
    if (!SendMessageTimeoutW(c, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &count))
        fail(EXIT_TIMEOUT, "CB_GETCOUNT did not answer");
    if ((LONG_PTR)count < 0) fail(EXIT_EXPECT, "CB_GETCOUNT failed: is the control a combo box?");
    for (i = 0; i < (int)count; i++) {
        if (!SendMessageTimeoutW(c, CB_GETLBTEXTLEN, (WPARAM)i, 0, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &len) ||
            (LONG_PTR)len < 0 || len >= sizeof witem / sizeof witem[0])
            fail(EXIT_EXPECT, "combo box entry %d: bad length", i);
        memset(witem, 0, sizeof witem);
        if (!SendMessageTimeoutW(c, CB_GETLBTEXT, (WPARAM)i, (LPARAM)witem, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &len))
            fail(EXIT_TIMEOUT, "CB_GETLBTEXT did not answer");
        witem[sizeof witem / sizeof witem[0] - 1] = 0;
        if (!WideCharToMultiByte(CP_ACP, 0, witem, -1, item, sizeof item, NULL, NULL)) item[0] = 0;
        n += snprintf(out + n, n < cap ? cap - n : 0, "%s%s", i ? "|" : "", item);
        if (n >= cap) fail(EXIT_EXPECT, "combo box list longer than %u characters", (unsigned)cap);
    }
    return (int)count;
}

/* ---- commands ---- */

static void expect_equal(const char *what, const char *got, const char *want)
{
    if (strcmp(got, want)) {
        printf("  expected: \"");
        print_escaped(want);
        printf("\"\n  actual:   \"");
        print_escaped(got);
        printf("\"\n");
        fail(EXIT_EXPECT, "%s differs", what);
    }
}

static DWORD optional_timeout(const char *p)
{
    char tok[64];
    if (p && next_token(p, tok, sizeof tok)) return (DWORD)parse_number(tok, "timeout");
    return DEFAULT_TIMEOUT_MS;
}

static UINT box_button_id(const char *name)
{
    if (!_stricmp(name, "ok")) return IDOK;
    if (!_stricmp(name, "cancel")) return IDCANCEL;
    if (!_stricmp(name, "yes")) return IDYES;
    if (!_stricmp(name, "no")) return IDNO;
    fail(EXIT_USAGE, "unknown message-box button '%s' (ok, cancel, yes, no)", name);
    return 0;
}

static void run_line(const char *line)
{
    char cmd[64], a[512], b[512], text[16384], got[16384];
    const char *p = next_token(line, cmd, sizeof cmd);
    const char *pa, *pb;
    if (!p || cmd[0] == '#') return;
    pa = next_token(p, a, sizeof a);
    if (!pa) a[0] = 0;
    pb = pa ? next_token(pa, b, sizeof b) : NULL;
    if (!pb) b[0] = 0;

    if (!strcmp(cmd, "start")) {
        cmd_start(p);
    } else if (!strcmp(cmd, "attach")) {
        cmd_attach(a);
    } else if (!strcmp(cmd, "wait-exit")) {
        cmd_wait_exit(p);
    } else if (!strcmp(cmd, "wait-window") || !strcmp(cmd, "wait-gone")) {
        int present = !strcmp(cmd, "wait-window");
        const char *title = resolve_title(a);
        DWORD start = GetTickCount();
        if (!a[0]) fail(EXIT_USAGE, "%s: missing window", cmd);
        if (wait_for(title, present, optional_timeout(pa)) == (HWND)-1)
            fail(EXIT_TIMEOUT, "window \"%s\" %s", title, present ? "did not appear" : "did not go away");
        printf("%s %s %lums\n", present ? "window" : "gone", a, (unsigned long)(GetTickCount() - start));
    } else if (!strcmp(cmd, "expect-exists") || !strcmp(cmd, "expect-absent")) {
        int present = find_window(resolve_title(a)) != NULL;
        printf("exists %s %s\n", a, present ? "yes" : "no");
        if (present != !strcmp(cmd, "expect-exists")) fail(EXIT_EXPECT, "window %s is%s there", a, present ? "" : " not");
    } else if (!strcmp(cmd, "text") || !strcmp(cmd, "expect-text")) {
        HWND c = need_control(a, b);
        get_text(c, got, sizeof got);
        printf("text %s %s: \"", a, b);
        print_escaped(got);
        printf("\"\n");
        if (!strcmp(cmd, "expect-text")) {
            rest_text(pb, text, sizeof text);
            expect_equal("control text", got, text);
        }
    } else if (!strcmp(cmd, "expect-enabled")) {
        HWND c = need_control(a, b);
        int on = IsWindowEnabled(c) != 0;
        char want[16];
        printf("enabled %s %s %s\n", a, b, on ? "yes" : "no");
        if (!pb || !next_token(pb, want, sizeof want)) fail(EXIT_USAGE, "expect-enabled: missing yes/no");
        expect_equal("enabled state", on ? "yes" : "no", want);
    } else if (!strcmp(cmd, "click")) {
        HWND c = need_control(a, b);
        PostMessageA(c, BM_CLICK, 0, 0);
        printf("clicked %s %s\n", a, b);
    } else if (!strcmp(cmd, "answer")) {
        /* answer BUTTON [expected text] : waits for the "Hertzwerk" box, checks its text when
         * given, and presses the button. */
        HWND box, button, label;
        UINT id = box_button_id(a);
        box = wait_for(HZWK_TITLE_BOX, 1, DEFAULT_TIMEOUT_MS);
        if (box == (HWND)-1) fail(EXIT_TIMEOUT, "no message box titled \"%s\" appeared", HZWK_TITLE_BOX);
        label = find_control(box, IDC_MSGBOX_TEXT);
        got[0] = 0;
        if (label) get_text(label, got, sizeof got);
        printf("box \"");
        print_escaped(got);
        printf("\"\n");
        if (pa) {
            rest_text(pa, text, sizeof text);
            if (text[0]) expect_equal("message-box text", got, text);
        }
        button = find_control(box, (int)id);
        if (!button) fail(EXIT_EXPECT, "the message box has no %s button", a);
        PostMessageA(button, BM_CLICK, 0, 0);
        printf("answered %s\n", a);
    } else if (!strcmp(cmd, "menu")) {
        HWND w = need_window(a);
        int id = (int)parse_number(b, "menu id");
        PostMessageA(w, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        printf("menu %s %d\n", a, id);
    } else if (!strcmp(cmd, "set-text")) {
        HWND c = need_control(a, b);
        DWORD_PTR r;
        rest_text(pb, text, sizeof text);
        if (!SendMessageTimeoutA(c, WM_SETTEXT, 0, (LPARAM)text, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &r))
            fail(EXIT_TIMEOUT, "WM_SETTEXT did not answer");
        printf("set-text %s %s\n", a, b);
    } else if (!strcmp(cmd, "updown")) {
        /* updown WIN ID POS: sets the position and tells the parent as the control itself
         * would after a click (THUMBPOSITION, then ENDSCROLL). */
        HWND c = need_control(a, b), parent;
        char pos_text[64];
        const char *pp = next_token(pb ? pb : "", pos_text, sizeof pos_text);
        long pos = parse_number(pp ? pos_text : "", "position");
        UINT msg = (GetWindowLongA(c, GWL_STYLE) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
        DWORD_PTR r;
        if (!SendMessageTimeoutA(c, UDM_SETPOS32, 0, (LPARAM)pos, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &r))
            SendMessageTimeoutA(c, UDM_SETPOS, 0, MAKELPARAM((short)pos, 0), SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &r);
        parent = GetParent(c);
        if (parent) {
            PostMessageA(parent, msg, MAKEWPARAM(SB_THUMBPOSITION, (WORD)pos), (LPARAM)c);
            PostMessageA(parent, msg, MAKEWPARAM(SB_ENDSCROLL, (WORD)pos), (LPARAM)c);
        }
        printf("updown %s %s %ld\n", a, b, pos);
    } else if (!strcmp(cmd, "updown-pos")) {
        HWND c = need_control(a, b);
        DWORD_PTR r = 0;
        SendMessageTimeoutA(c, UDM_GETPOS32, 0, 0, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &r);
        printf("updown-pos %s %s %ld\n", a, b, (long)(LONG)r);
    } else if (!strcmp(cmd, "wait-text")) {
        /* wait-text WIN ID MS TEXT: polls until the control reads TEXT (posted keys and
         * clicks are handled later than they are sent). */
        HWND c = need_control(a, b);
        char ms_text[64];
        const char *pt = next_token(pb ? pb : "", ms_text, sizeof ms_text);
        DWORD ms = (DWORD)parse_number(pt ? ms_text : "", "timeout"), start = GetTickCount();
        rest_text(pt, text, sizeof text);
        for (;;) {
            get_text(c, got, sizeof got);
            if (!strcmp(got, text)) break;
            if (GetTickCount() - start >= ms) {
                expect_equal("control text", got, text);
            }
            Sleep(POLL_MS);
        }
        printf("wait-text %s %s: \"", a, b);
        print_escaped(got);
        printf("\" after %lums\n", (unsigned long)(GetTickCount() - start));
    } else if (!strcmp(cmd, "wait-focus")) {
        /* wait-focus WIN ID [MS]: polls until that control has the keyboard focus. */
        HWND w = need_window(a);
        int want = (int)parse_number(b, "control id"), id = 0;
        DWORD ms = optional_timeout(pb), start = GetTickCount();
        HWND f;
        while (!(f = focus_of(w, &id)) || f == w || !IsChild(w, f) || id != want) {
            if (GetTickCount() - start >= ms)
                fail(EXIT_EXPECT, "control %d has not got the focus after %lums (focus: %s %d)", want,
                     (unsigned long)ms, f ? (f == w ? "window" : IsChild(w, f) ? "control" : "elsewhere") : "none", id);
            Sleep(POLL_MS);
        }
        printf("focus %s %d after %lums\n", a, id, (unsigned long)(GetTickCount() - start));
    } else if (!strcmp(cmd, "key")) {
        /* key WIN ID KEY...: each KEY posted in turn (see post_key). */
        HWND c = need_control(a, b);
        char k[64];
        const char *pk = pb;
        int n = 0;
        printf("key %s %s", a, b);
        while (pk && (pk = next_token(pk, k, sizeof k)) != NULL) {
            printf(" %s:%s", k, post_key(c, k));
            n++;
        }
        printf("\n");
        if (!n) fail(EXIT_USAGE, "key: missing key");
    } else if (!strcmp(cmd, "set-focus")) {
        /* set-focus WIN ID: posts WM_NEXTDLGCTL (handle form) to the window, as a dialog's
         * own code moves the focus. */
        HWND c = need_control(a, b);
        PostMessageA(need_window(a), WM_NEXTDLGCTL, (WPARAM)c, TRUE);
        printf("set-focus %s %s\n", a, b);
    } else if (!strcmp(cmd, "lclick")) {
        /* lclick WIN [ID [SIDE]]: a posted left click in the middle of the control (or window),
         * or of one half of it (see post_click). */
        HWND w = b[0] ? need_control(a, b) : need_window(a);
        char side[32];
        side[0] = 0;
        if (pb) next_token(pb, side, sizeof side);
        post_click(w, side);
        printf("lclick %s%s%s%s%s\n", a, b[0] ? " " : "", b, side[0] ? " " : "", side);
    } else if (!strcmp(cmd, "expect-defid")) {
        /* The button Enter presses, as the window answers DM_GETDEFID ("none": no default). */
        HWND w = need_window(a);
        DWORD_PTR r = 0;
        char idtext[32];
        if (!SendMessageTimeoutA(w, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &r))
            fail(EXIT_TIMEOUT, "DM_GETDEFID did not answer");
        if (HIWORD(r) == DC_HASDEFID) snprintf(idtext, sizeof idtext, "%u", (unsigned)LOWORD(r));
        else snprintf(idtext, sizeof idtext, "none");
        printf("defid %s %s\n", a, idtext);
        if (!b[0]) fail(EXIT_USAGE, "expect-defid: missing id or none");
        if (strcmp(b, "none")) snprintf(b, sizeof b, "%ld", parse_number(b, "control id"));
        expect_equal("default button", idtext, b);
    } else if (!strcmp(cmd, "expect-window-enabled")) {
        HWND w = need_window(a);
        const char *on = IsWindowEnabled(w) ? "yes" : "no";
        printf("window-enabled %s %s\n", a, on);
        if (!b[0]) fail(EXIT_USAGE, "expect-window-enabled: missing yes/no");
        expect_equal("window enabled state", on, b);
    } else if (!strcmp(cmd, "combo-items") || !strcmp(cmd, "expect-combo-items")) {
        /* combo-items WIN ID: the entries as one '|'-joined text; expect-combo-items compares
         * that text (empty list: ""). */
        HWND c = need_control(a, b);
        int count = combo_items(c, got, sizeof got);
        printf("combo-items %s %s %d \"", a, b, count);
        print_escaped(got);
        printf("\"\n");
        if (!strcmp(cmd, "expect-combo-items")) {
            rest_text(pb, text, sizeof text);
            expect_equal("combo box entries", got, text);
        }
    } else if (!strcmp(cmd, "combo-select")) {
        /* combo-select WIN ID TEXT: selects the entry that reads exactly TEXT and tells the
         * parent (CBN_SELCHANGE), as picking it from the list does. */
        HWND c = need_control(a, b);
        int count = combo_items(c, got, sizeof got), i, found = -1;
        char *item = got, *bar;
        DWORD_PTR r;
        rest_text(pb, text, sizeof text);
        for (i = 0; i < count && item; i++) {
            bar = strchr(item, '|');
            if (bar) *bar = 0;
            if (!strcmp(item, text)) { found = i; break; }
            item = bar ? bar + 1 : NULL;
        }
        if (found < 0) fail(EXIT_EXPECT, "combo box %s has no entry \"%s\"", b, text);
        if (!SendMessageTimeoutA(c, CB_SETCURSEL, (WPARAM)found, 0, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &r))
            fail(EXIT_TIMEOUT, "CB_SETCURSEL did not answer");
        PostMessageA(GetParent(c), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c), CBN_SELCHANGE), (LPARAM)c);
        printf("combo-select %s %s %d\n", a, b, found);
    } else if (!strcmp(cmd, "expect-checked")) {
        HWND c = need_control(a, b);
        DWORD_PTR r = 0;
        char want[16];
        if (!SendMessageTimeoutA(c, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &r))
            fail(EXIT_TIMEOUT, "BM_GETCHECK did not answer");
        printf("checked %s %s %s\n", a, b, r == BST_CHECKED ? "yes" : "no");
        if (!pb || !next_token(pb, want, sizeof want)) fail(EXIT_USAGE, "expect-checked: missing yes/no");
        expect_equal("checked state", r == BST_CHECKED ? "yes" : "no", want);
    } else if (!strcmp(cmd, "deactivate")) {
        /* As when another program takes the screen: a full-screen device is lost. */
        PostMessageA(need_window(a), WM_ACTIVATEAPP, FALSE, 0);
        printf("deactivate %s\n", a);
    } else if (!strcmp(cmd, "close")) {
        HWND w = need_window(a);
        PostMessageA(w, WM_CLOSE, 0, 0);
        printf("close %s\n", a);
    } else if (!strcmp(cmd, "sleep")) {
        Sleep((DWORD)parse_number(a, "milliseconds"));
    } else if (!strcmp(cmd, "expect-reg")) {
        /* expect-reg KEY VALUE TYPED-DATA: KEY and VALUE quoted when they hold blanks; data
         * as format_reg gives it (sz:6.14.10.3090, dword:1, absent, absent-key). */
        format_reg(a, b, got, sizeof got);
        printf("reg \"%s\" \"%s\" = ", a, b);
        print_escaped(got);
        printf("\n");
        rest_text(pb, text, sizeof text);
        expect_equal("registry value", got, text);
    } else {
        fail(EXIT_USAGE, "unknown command '%s'", cmd);
    }
}

int main(int argc, char **argv)
{
    FILE *in = stdin;
    char line[20000];
    setvbuf(stdout, NULL, _IONBF, 0);
    if (argc > 2) {
        fprintf(stderr, "usage: hzwkdrive [SCRIPT|-]\n");
        return EXIT_USAGE;
    }
    if (argc == 2 && strcmp(argv[1], "-")) {
        in = fopen(argv[1], "r");
        if (!in) {
            fprintf(stderr, "hzwkdrive: cannot open %s\n", argv[1]);
            return EXIT_USAGE;
        }
    }
    while (fgets(line, sizeof line, in)) {
        size_t n = strlen(line);
        while (n && (line[n - 1] == '\n' || line[n - 1] == '\r')) line[--n] = 0;
        g_line_no++;
        run_line(line);
    }
    printf("ok\n");
    return 0;
}
