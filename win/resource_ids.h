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
#define IDM_UPDATE_FILE_SIZE 45200
#define IDM_SAVED_COLOR_COMMAND 45201  // "Save Selected Color..." or "Remove Color..." chosen (the item: HIWORD)

/* The name prompt of the saved colours. */
#define IDD_SAVE_COLOR 101
#define IDC_SAVE_COLOR_NAME 1000
#define IDC_SAVE_COLOR_PROMPT 1001

/* The colour picker. */
#define IDD_COLOR_PICKER 134
#define IDC_PICKER_ORIGINAL 1049

/* The options dialog and its three tab pages. */
#define IDD_OPTIONS_TRANSPARENCY 132
#define IDD_OPTIONS_BACKGROUND 133
#define IDD_OPTIONS_COMMENTS 114
#define IDC_OPT_SAVE 1
#define IDC_OPT_CANCEL 2
#define IDC_OPT_LAST 3
#define IDC_ENTRY_RGB 1035
#define IDC_OPT_INTERLACE 1040
#define IDC_OPT_SIZE_LABEL 1041
#define IDC_OPT_COLORS_LABEL 1042
#define IDC_OPT_COMMENT 1043
#define IDC_OPT_ALPHA 1044
#define IDC_OPT_COLOR 1045
#define IDC_OPT_NONE 1046
#define IDC_OPT_PLANES 1047
#define IDC_OPT_FILE_SIZE 1050
#define IDC_OPT_SAVED_COLORS 1067
#define IDC_OPT_TABS 1008
#define IDS_TAB_TRANSPARENCY 17000
#define IDS_TAB_BACKGROUND 17001
#define IDS_TAB_COMMENTS 17002

/* The tool buttons under the options dialog's pane: pencil, picker, edge brush, hand; selected; greyed. */
#define IDB_TOOL_PENCIL 9110
#define IDB_TOOL_PICKER 9111
#define IDB_TOOL_EDGE_BRUSH 9112
#define IDB_TOOL_HAND 9113
#define IDB_TOOL_PENCIL_SELECTED 9114
#define IDB_TOOL_PICKER_SELECTED 9115
#define IDB_TOOL_EDGE_BRUSH_SELECTED 9116
#define IDB_TOOL_HAND_SELECTED 9117
#define IDB_TOOL_PENCIL_GREYED 9118
#define IDB_TOOL_PICKER_GREYED 9119
#define IDB_TOOL_EDGE_BRUSH_GREYED 9120

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
#define IDC_QUANT_STATUS 1039
#define IDC_QUANT_PALETTE_LABEL 1051
#define IDC_QUANT_SIZE_INFO 1063
#define IDC_QUANT_DEPTH_LABEL 1064
#define IDC_QUANT_COLORS_LABEL 1065
#define IDC_QUANT_BASE_LABEL 1066
#define IDC_QUANT_PROGRESS 1068
#define IDC_QUANT_LOSSY 1069
#define IDC_QUANT_LOSSY_LABEL 1070
#define IDC_QUANT_LOSSY_VALUE 1071
/* Child windows the dialog creates itself. */
#define IDC_QUANT_SOURCE_PANE 1100
#define IDC_QUANT_RESULT_PANE 1101
#define IDC_QUANT_DITHER_PANE 1102
/* The dithering slider's own child dialog: the track between 1052 and 1053, the label 1024. */
#define IDD_DITHER_PANE 141

#endif
