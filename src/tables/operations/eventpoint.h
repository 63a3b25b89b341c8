#pragma once

#include <QtGlobal>

class OperationProgress;

// An event point of a read or write loop, done being the records read or
// fields written so far: false when the user asked to stop. Without a
// progress it only lets the program handle its events.
bool eventPoint(OperationProgress *progress, qint64 done);
