/* The Direct3D test window's title: plain C, so the end-to-end driver can find it too. */
#pragma once

#define HZWK_TITLE_D3D_TEST "d3d_hWnd"
