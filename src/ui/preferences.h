#pragma once

#include <QVariant>

// What the window keeps from one run to the next (the port, each port's line
// rate, the retries of a failed exchange, whether writes are checked, its size and columns, whether
// the exchanges' dock is open, the folder of the last file), in the user's settings of the program.
namespace Preferences {

inline constexpr char PortLocation[] = "port/location";
// The rate an earlier version kept for every port, read where a port has none.
inline constexpr char BaudRateCode[] = "port/baudRateCode";
// Each port's rate, by the name it is remembered by.
inline constexpr char PortBaudRateCodes[] = "port/baudRateCodes";
inline constexpr char Retries[] = "port/retries";
inline constexpr char PortWaitSeconds[] = "port/waitSeconds";
inline constexpr char CheckWrites[] = "table/checkWrites";
inline constexpr char WindowGeometry[] = "window/geometry";
inline constexpr char TrafficDockOpen[] = "window/trafficDock";
inline constexpr char FileFolder[] = "files/folder";

QVariant value(const char *key, const QVariant &defaultValue = QVariant());
void setValue(const char *key, const QVariant &value);

} // namespace Preferences
