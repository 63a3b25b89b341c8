#pragma once

class QTableWidget;

// Gives a grid the columns of a catalogue table: their count, headers, pixel
// widths and hidden columns.
void setupCatalogueColumns(QTableWidget &grid, int table);
