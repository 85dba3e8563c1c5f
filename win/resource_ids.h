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

#endif
