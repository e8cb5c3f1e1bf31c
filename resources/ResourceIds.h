#pragma once
// Resource identifiers shared by the resource script and the code (plain macros: windres reads
// this file too).

#define IDI_SETUP_MAIN 101         /* icon group of the windows and the executable */
#define IDR_SKIN_ARCHIVE 104       /* type "ZIPRES": the skin archive */
#define IDR_CONFIG_ARCHIVE 105     /* RCDATA: the configuration archive */
#define IDR_DOMAIN_CODE 106        /* RCDATA: the one-line domain code */
