#!/bin/bash
# hzwkctl.exe under Wine on the Windows 2000 profile (see hzwkctl_wine.sh).
HZWKCTL_WINE_PROFILE=win2000-ti4200 exec bash "$(dirname "$0")/hzwkctl_wine.sh"
