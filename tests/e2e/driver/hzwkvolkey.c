/* hzwkvolkey: seeds the display driver's device key of an XP/2003 machine profile.
 *
 *   hzwkvolkey.exe FILE.reg     writes the sections of a REGEDIT4 file (see below)
 *
 * Wine keeps HKLM\System\CurrentControlSet\Control\Video volatile, so regedit cannot import
 * there, and a \Device\Video0 that points at a key Wine cannot read makes the next GUI
 * process rebuild the display keys. So a section under Control\Video is created here as a
 * volatile key (each missing component volatile), first filled with the values of the
 * adapter key Wine made itself (the one \Device\Video0 names now), then with the profile's
 * values. Wine keeps the adapter's state (flags, GPU id, its cached mode list) in a twin key
 * under Hardware Profiles\Current; that twin is copied too, or Wine would find the adapter
 * incomplete and rebuild. Sections under HKLM\HARDWARE (\Device\Video0) are written after all others.
 * Other sections are written as ordinary keys. The keys live as long as the wineserver.
 *
 * Supported value forms: "name"="text", dword:XXXXXXXX, hex:.., hex(N):..,
 * lines continued with a trailing backslash. */
#include <windows.h>
#include <ctype.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define VIDEO_PREFIX "System\\CurrentControlSet\\Control\\Video\\"
#define KERNEL_PREFIX "\\Registry\\Machine\\"
#define PROFILE_PREFIX "System\\CurrentControlSet\\Hardware Profiles\\Current\\"

static int g_errors;

static void error(const char *fmt, ...)
{
    va_list ap;
    fprintf(stderr, "hzwkvolkey: ");
    va_start(ap, fmt);
    vfprintf(stderr, fmt, ap);
    va_end(ap);
    fprintf(stderr, "\n");
    g_errors++;
}

static int starts_with_ci(const char *s, const char *prefix)
{
    return _strnicmp(s, prefix, strlen(prefix)) == 0;
}

/* The key Wine's own adapter values live in: what \Device\Video0 names now. */
static int current_video0(char *out, DWORD cap)
{
    HKEY key;
    DWORD type = 0, size = cap - 1;
    LONG rc;
    out[0] = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\VIDEO", 0, KEY_READ, &key)) return 0;
    rc = RegQueryValueExA(key, "\\Device\\Video0", NULL, &type, (BYTE *)out, &size);
    RegCloseKey(key);
    if (rc || type != REG_SZ) return 0;
    out[size < cap ? size : cap - 1] = 0;
    return 1;
}

static void copy_values(HKEY from, HKEY to)
{
    char name[16384];
    BYTE data[65536];
    DWORD i;
    for (i = 0;; i++) {
        DWORD name_len = sizeof name, size = sizeof data, type;
        LONG rc = RegEnumValueA(from, i, name, &name_len, NULL, &type, data, &size);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc) continue;
        RegSetValueExA(to, name, 0, type, data, size);
    }
}

/* Values and subkeys, all the way down; new subkeys volatile like their parent. */
static void copy_tree(HKEY from, HKEY to)
{
    char name[1024];
    DWORD i;
    copy_values(from, to);
    for (i = 0;; i++) {
        DWORD len = sizeof name;
        HKEY sub_from, sub_to;
        LONG rc = RegEnumKeyExA(from, i, name, &len, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc || RegOpenKeyExA(from, name, 0, KEY_READ, &sub_from)) continue;
        if (!RegCreateKeyExA(to, name, 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL, &sub_to, NULL)) {
            copy_tree(sub_from, sub_to);
            RegCloseKey(sub_to);
        }
        RegCloseKey(sub_from);
    }
}

/* Opens or creates each component of path under HKLM as a volatile key. */
static HKEY create_volatile(const char *path, int *created_leaf)
{
    char part[1024];
    HKEY parent = HKEY_LOCAL_MACHINE, key = NULL;
    const char *p = path;
    *created_leaf = 0;
    while (*p) {
        const char *end = strchr(p, '\\');
        size_t n = end ? (size_t)(end - p) : strlen(p);
        DWORD disp = 0;
        LONG rc;
        if (n >= sizeof part) n = sizeof part - 1;
        memcpy(part, p, n);
        part[n] = 0;
        rc = RegCreateKeyExA(parent, part, 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL, &key, &disp);
        if (parent != HKEY_LOCAL_MACHINE) RegCloseKey(parent);
        if (rc) {
            error("cannot create volatile key %s (error %ld)", path, rc);
            return NULL;
        }
        *created_leaf = disp == REG_CREATED_NEW_KEY;
        parent = key;
        p = end ? end + 1 : p + n;
    }
    return key;
}

static HKEY open_section(const char *path)
{
    HKEY key = NULL;
    if (starts_with_ci(path, VIDEO_PREFIX)) {
        int created = 0;
        char wine_key[1024];
        key = create_volatile(path, &created);
        if (key && current_video0(wine_key, sizeof wine_key) && starts_with_ci(wine_key, KERNEL_PREFIX)) {
            const char *rel = wine_key + strlen(KERNEL_PREFIX);
            HKEY from;
            if (_stricmp(rel, path) && !RegOpenKeyExA(HKEY_LOCAL_MACHINE, rel, 0, KEY_READ, &from)) {
                char twin_from[1200], twin_to[1200];
                HKEY twin_src, twin_dst;
                int twin_created;
                copy_values(from, key);
                RegCloseKey(from);
                printf("copied Wine's adapter values from %s\n", rel);
                snprintf(twin_from, sizeof twin_from, "%s%s", PROFILE_PREFIX, rel);
                snprintf(twin_to, sizeof twin_to, "%s%s", PROFILE_PREFIX, path);
                if (!RegOpenKeyExA(HKEY_LOCAL_MACHINE, twin_from, 0, KEY_READ, &twin_src)) {
                    if ((twin_dst = create_volatile(twin_to, &twin_created)) != NULL) {
                        copy_tree(twin_src, twin_dst);
                        RegCloseKey(twin_dst);
                        printf("copied Wine's adapter state from %s\n", twin_from);
                    }
                    RegCloseKey(twin_src);
                } else {
                    error("Wine's adapter state %s is missing", twin_from);
                }
            }
        }
        return key;
    }
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) &&
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL, &key, NULL)) {
        error("cannot create key %s", path);
        return NULL;
    }
    return key;
}

/* Decodes a quoted .reg string starting at p (at the opening quote). */
static const char *parse_quoted(const char *p, char *out, size_t cap)
{
    size_t n = 0;
    if (*p != '"') return NULL;
    for (p++; *p && *p != '"'; p++) {
        char c = *p;
        if (c == '\\' && p[1]) c = *++p;
        if (n + 1 < cap) out[n++] = c;
    }
    out[n] = 0;
    return *p == '"' ? p + 1 : NULL;
}

static void set_value(HKEY key, const char *line)
{
    static BYTE data[65536];
    char name[1024];
    const char *p = line;
    DWORD size = 0, type;
    if (!(p = parse_quoted(p, name, sizeof name))) {
        error("bad value line: %s", line);
        return;
    }
    if (*p++ != '=') {
        error("bad value line: %s", line);
        return;
    }
    if (*p == '"') {
        char text[65536];
        if (!parse_quoted(p, text, sizeof text)) {
            error("bad string: %s", line);
            return;
        }
        type = REG_SZ;
        size = (DWORD)strlen(text) + 1;
        memcpy(data, text, size);
    } else if (!_strnicmp(p, "dword:", 6)) {
        DWORD v = (DWORD)strtoul(p + 6, NULL, 16);
        type = REG_DWORD;
        memcpy(data, &v, 4);
        size = 4;
    } else if (!_strnicmp(p, "hex", 3)) {
        p += 3;
        type = REG_BINARY;
        if (*p == '(') {
            type = (DWORD)strtoul(p + 1, (char **)&p, 16);
            if (*p == ')') p++;
        }
        if (*p++ != ':') {
            error("bad hex value: %s", line);
            return;
        }
        while (*p && size < sizeof data) {
            while (*p == ',' || isspace((unsigned char)*p)) p++;
            if (!*p) break;
            data[size++] = (BYTE)strtoul(p, (char **)&p, 16);
        }
    } else {
        error("unsupported value: %s", line);
        return;
    }
    if (RegSetValueExA(key, name, 0, type, data, size)) error("cannot set %s", name);
}

struct section {
    char path[1024];
    char *lines;
    size_t len;
};

static void write_section(struct section *s)
{
    HKEY key = open_section(s->path);
    char *line;
    if (!key) return;
    for (line = s->lines; line && *line; line += strlen(line) + 1) set_value(key, line);
    RegCloseKey(key);
    printf("wrote %s\n", s->path);
}

static void add_line(struct section *s, const char *line)
{
    size_t n = strlen(line) + 1;
    char *grown = (char *)realloc(s->lines, s->len + n + 1);
    if (!grown) return;
    s->lines = grown;
    memcpy(s->lines + s->len, line, n);
    s->len += n;
    s->lines[s->len] = 0;
}

int main(int argc, char **argv)
{
    static struct section sections[64];
    int count = 0, i, pass;
    char line[70000], joined[140000];
    FILE *f;
    setvbuf(stdout, NULL, _IONBF, 0);
    if (argc != 2) {
        fprintf(stderr, "usage: hzwkvolkey FILE.reg\n");
        return 2;
    }
    if (!(f = fopen(argv[1], "r"))) {
        fprintf(stderr, "hzwkvolkey: cannot open %s\n", argv[1]);
        return 2;
    }
    joined[0] = 0;
    while (fgets(line, sizeof line, f)) {
        size_t n = strlen(line);
        int more;
        while (n && (line[n - 1] == '\n' || line[n - 1] == '\r')) line[--n] = 0;
        more = n && line[n - 1] == '\\' && joined[0] != '[';
        if (more) line[--n] = 0;
        if (strlen(joined) + n + 1 < sizeof joined) strcat(joined, joined[0] ? line + strspn(line, " \t") : line);
        if (more) continue;
        if (joined[0] == '[') {
            char *end = strrchr(joined, ']');
            const char *path = joined + 1;
            if (end) *end = 0;
            if (starts_with_ci(path, "HKEY_LOCAL_MACHINE\\")) path += strlen("HKEY_LOCAL_MACHINE\\");
            if (count < (int)(sizeof sections / sizeof sections[0])) {
                snprintf(sections[count].path, sizeof sections[count].path, "%s", path);
                count++;
            }
        } else if (joined[0] == '"' && count) {
            add_line(&sections[count - 1], joined);
        }
        joined[0] = 0;
    }
    fclose(f);
    /* \Device\Video0 last: it must not point at the profile's key before that key exists. */
    for (pass = 0; pass < 2; pass++)
        for (i = 0; i < count; i++)
            if (starts_with_ci(sections[i].path, "HARDWARE\\") == pass) write_section(&sections[i]);
    return g_errors ? 1 : 0;
}
