#pragma once

// The register's own number of a logical table; 0 for a number it does not know.
int deviceTableNumber(int table);
