/* Prints the display modes as a program sees them through EnumDisplaySettingsA, in the
 * order the system reports them: one "WxHxBPP@HZ" line per mode number, then the current
 * mode. The end-to-end tests compare the grid against this, not against the profile,
 * because Wine reorders the modes and lists each at every depth. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

int main(void)
{
    DEVMODEA dm;
    DWORD n;
    memset(&dm, 0, sizeof dm);
    dm.dmSize = sizeof dm;
    for (n = 0; n < 100000 && EnumDisplaySettingsA(NULL, n, &dm); n++)
        printf("%lux%lux%lu@%lu\n", dm.dmPelsWidth, dm.dmPelsHeight, dm.dmBitsPerPel, dm.dmDisplayFrequency);
    memset(&dm, 0, sizeof dm);
    dm.dmSize = sizeof dm;
    if (EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, &dm))
        printf("current %lux%lux%lu@%lu\n", dm.dmPelsWidth, dm.dmPelsHeight, dm.dmBitsPerPel, dm.dmDisplayFrequency);
    return n ? 0 : 1;
}
