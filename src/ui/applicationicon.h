#pragma once

#include <QIcon>

// The program's icon in every size it is drawn in, from the program's resources.
QIcon applicationIcon();
