// Resource identifiers of Salvanto2002.scr (also read by the resource script).
#pragma once
#define IDI_PROGRAM 1
#define IDR_SAMPLE_PHOTO 101
#define IDR_BANNER 102
#define IDR_DIALOG_PHOTO 103
