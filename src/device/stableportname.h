#pragma once

#include <QString>

// The name udev gives a USB serial device under /dev/serial/by-id/, after its
// maker, model and serial number: a link that follows the device to whatever
// ttyUSB number it gets when it is plugged in again.
namespace StablePortName {

// The directory of those links; MORVELL_SERIAL_BY_ID names another one.
QString directory();
// The link in it that leads to the device at location, or empty when none
// does (not a USB device, or a location that is itself such a link).
QString of(const QString &location);

} // namespace StablePortName
