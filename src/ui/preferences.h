#pragma once

#include <QVariant>

// What the window keeps from one run to the next (the port, the line's rate,
// whether writes are checked), in the user's settings of the program.
namespace Preferences {

inline constexpr char PortLocation[] = "port/location";
inline constexpr char BaudRateCode[] = "port/baudRateCode";
inline constexpr char CheckWrites[] = "table/checkWrites";

QVariant value(const char *key, const QVariant &defaultValue = QVariant());
void setValue(const char *key, const QVariant &value);

} // namespace Preferences
