/* Resource identifiers of the module, shared by the resource script and the Win32 code. */
#ifndef HC_RESOURCE_IDS_H
#define HC_RESOURCE_IDS_H

#define IDD_ABOUT 100
#define IDC_ABOUT_TEXT 101

/* Tool cursors of the preview panes. */
#define IDCUR_PICKER 109
#define IDCUR_EDGE_BRUSH 300
#define IDCUR_OPEN_HAND 301
#define IDCUR_CLOSED_HAND 332
#define IDCUR_PENCIL 335

/* Controls and commands shared by the preview panes and the dialogs that hold them. */
#define IDC_ZOOM_IN 1036
#define IDC_ZOOM_OUT 1037
#define IDC_ZOOM_LABEL 1038
#define IDM_MASK_EDITED 45199

/* The name prompt of the saved colours. */
#define IDD_SAVE_COLOR 101
#define IDC_SAVE_COLOR_NAME 1000
#define IDC_SAVE_COLOR_PROMPT 1001

/* The colour picker. */
#define IDD_COLOR_PICKER 134
#define IDC_PICKER_ORIGINAL 1049

/* Sprites of the colour slider block. */
#define IDB_SLIDER_LEFT_ARROW 9100
#define IDB_SLIDER_RIGHT_ARROW 9101
#define IDB_SLIDER_THUMB 9102
#define IDB_SLIDER_THUMB_ERASER 9103

#endif
