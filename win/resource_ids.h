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

/* The quantization dialog "DISSOLVEPARAM". */
#define IDC_QUANT_LOAD 1023
#define IDC_QUANT_COLORS 1027
#define IDC_QUANT_DEPTH 1031
#define IDC_QUANT_BASE 1032
#define IDC_QUANT_PALETTE 1033
#define IDC_QUANT_UNLOAD 1034
#define IDC_ENTRY_RGB 1035
#define IDC_QUANT_STATUS 1039
#define IDC_QUANT_PALETTE_LABEL 1051
#define IDC_QUANT_SIZE_INFO 1063
#define IDC_QUANT_DEPTH_LABEL 1064
#define IDC_QUANT_COLORS_LABEL 1065
#define IDC_QUANT_BASE_LABEL 1066
#define IDC_QUANT_PROGRESS 1068
/* Child windows the dialog creates itself. */
#define IDC_QUANT_SOURCE_PANE 1100
#define IDC_QUANT_RESULT_PANE 1101
#define IDC_QUANT_DITHER_PANE 1102
/* The dithering slider's own child dialog: the track between 1052 and 1053, the label 1024. */
#define IDD_DITHER_PANE 141

#endif
