#ifndef NORV_ASSETS_RESOURCE_IDS_H
#define NORV_ASSETS_RESOURCE_IDS_H
/* Resource ids of the artwork; read by the resource compiler and by C++. */

#define IDI_APP 1              /* application icon, 32 x 32, 16 colours */
#define IDR_BACKGROUND_JPG 101 /* RCDATA: the window's background picture */
#define IDR_LOGO_GIF 102       /* RCDATA: the animated logo */

#endif
