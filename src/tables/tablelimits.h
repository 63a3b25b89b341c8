#pragma once

// Bounds of what a register table can hold. Reads stop at them, and a table
// file that names anything beyond them is malformed, so no file can make the
// grid grow without bound.
constexpr int maxTableRows = 65535;   // row numbers travel as 16 bits
constexpr int maxSettingsField = 255; // field numbers travel as one byte
constexpr int maxFieldWidth = 255;
