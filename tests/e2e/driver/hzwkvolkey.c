/* hzwkvolkey [KEY]: readies Wine's display keys for a machine profile. As the prefix's first GUI
 * process, asking for the display mode, it makes Wine build its display keys. With KEY (a path under HKLM\System\CurrentControlSet\Control\Video) it then makes that key
 * for regedit to fill: Wine keeps Control\Video volatile, so regedit cannot create keys there,
 * and a \Device\Video0 naming a key Wine cannot read makes the next GUI process rebuild the
 * display keys. So KEY is created volatile with the values of Wine's own adapter key (the one
 * \Device\Video0 names now), and Wine's adapter state (flags, GPU id, cached modes), kept in a
 * twin under Hardware Profiles\Current, is copied to KEY's twin. Pointing \Device\Video0 at
 * KEY is left to regedit. The keys live as long as the wineserver. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

#define KERNEL_PREFIX "\\Registry\\Machine\\"
#define TWIN_PREFIX "System\\CurrentControlSet\\Hardware Profiles\\Current\\"

static int fail(const char *what, const char *key) { return fprintf(stderr, "hzwkvolkey: %s%s\n", what, key), 0; }

/* Copies FROM's values (with SUBKEYS its subkeys too, all the way down) to TO, made volatile. */
static int copy_key(HKEY from_parent, const char *from, HKEY to_parent, const char *to, int subkeys)
{
    static BYTE data[65536];
    char name[1024];
    DWORD i, name_len, size, type;
    HKEY src, dst;
    if (RegOpenKeyExA(from_parent, from, 0, KEY_READ, &src)) return fail("no key ", from);
    if (RegCreateKeyExA(to_parent, to, 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL, &dst, NULL))
        return RegCloseKey(src), fail("cannot create the volatile key ", to);
    for (i = 0;; i++) {
        name_len = sizeof name, size = sizeof data;
        if (RegEnumValueA(src, i, name, &name_len, NULL, &type, data, &size)) break;
        RegSetValueExA(dst, name, 0, type, data, size);
    }
    for (i = 0; subkeys; i++) {
        name_len = sizeof name;
        if (RegEnumKeyExA(src, i, name, &name_len, NULL, NULL, NULL, NULL)) break;
        copy_key(src, name, dst, name, 1);
    }
    return RegCloseKey(dst), RegCloseKey(src), 1;
}

int main(int argc, char **argv)
{
    char wine_key[1024] = "", from[1200], to[1200];
    DWORD size = sizeof wine_key - 1;
    DEVMODEA dm = {.dmSize = sizeof dm};
    HKEY video;
    EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, &dm);
    if (argc < 2) return 0;
    if (!RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\VIDEO", 0, KEY_READ, &video)) {
        RegQueryValueExA(video, "\\Device\\Video0", NULL, NULL, (BYTE *)wine_key, &size);
        RegCloseKey(video);
    }
    if (_strnicmp(wine_key, KERNEL_PREFIX, strlen(KERNEL_PREFIX)))
        return !fail("Wine has not named its adapter key in \\Device\\Video0", "");
    snprintf(from, sizeof from, TWIN_PREFIX "%s", wine_key + strlen(KERNEL_PREFIX));
    snprintf(to, sizeof to, TWIN_PREFIX "%s", argv[1]);
    return copy_key(HKEY_LOCAL_MACHINE, wine_key + strlen(KERNEL_PREFIX), HKEY_LOCAL_MACHINE, argv[1], 0) &&
                   copy_key(HKEY_LOCAL_MACHINE, from, HKEY_LOCAL_MACHINE, to, 1) ? 0 : 1;
}
