#pragma once

// Makes the locale's text codec UTF-8 when it cannot represent Cyrillic (an ASCII or Western
// single-byte locale), so that Russian text survives the way to the terminal and to file names.
void ensureCyrillicLocaleCodec();

// Writes the start banner and the program version, the first two lines of every run.
void logStartBanner();
