#!/bin/bash
# Apply with the grid as read at start on the 41.09 profile (see ui_apply_start_grid.sh).
UI_PROFILE=xp-ti4600-4109 exec bash "$(dirname "$0")/ui_apply_start_grid.sh"
